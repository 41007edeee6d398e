#pragma once
// Security analysis of the ciphers: the field's standard measurements (histogram, entropy,
// adjacent-pixel correlation, NPCR/UACI for plaintext and key sensitivity, round trip, speed),
// each with the statistical test that gives it meaning, and renderers for the result table
// (text, JSON, a self-contained HTML page).
//
// Images are 8-bit, in host layout: column-major (cell = row + rows * column), plane after
// plane. Every measurement works on one plane at a time.

#include <chaosmix/key.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace chaosmix::analysis {

// ---------------------------------------------------------------------------------------------
// Images

struct ImageView {
  std::size_t rows = 0;
  std::size_t columns = 0;
  std::size_t planes = 1;
  std::span<const std::uint8_t> octets;  // rows * columns * planes

  std::size_t cells() const { return rows * columns; }
  std::span<const std::uint8_t> plane(std::size_t p) const {
    return octets.subspan(p * cells(), cells());
  }
};

// ---------------------------------------------------------------------------------------------
// Critical values of the statistical tests (all computed from their closed forms)

struct Interval {
  double low = 0;
  double high = 0;
};

// The significance levels every test is evaluated at; the table's verdicts use the first.
inline constexpr std::array<double, 3> kSignificanceLevels = {0.05, 0.01, 0.001};

// Inverse of the standard normal distribution function, for 0 < p < 1.
double inverseNormalCdf(double p);

// Regularized upper incomplete gamma function Q(a, x) = Gamma(a, x) / Gamma(a).
double regularizedGammaQ(double a, double x);

// The x with P(chi-square(dof) > x) = alpha.
double chiSquareCriticalValue(double degreesOfFreedom, double alpha);

// Exact mean and variance of the Shannon entropy (bits) of `pixels` independent octets, each
// uniformly distributed over 0..255 (the counts are multinomial).
struct EntropyMoments {
  double mean = 0;
  double variance = 0;
};
EntropyMoments sampleEntropyMoments(std::size_t pixels);

// Acceptance interval for the mean entropy of `blocks` independent blocks of `blockPixels`
// uniform octets at significance alpha (two-sided, normal approximation of the mean):
// mean -+ z(1 - alpha/2) * sigma / sqrt(blocks). With blocks = 1 it tests a global entropy.
Interval entropyAcceptanceInterval(std::size_t blocks, std::size_t blockPixels, double alpha);
// The same from moments already computed (they cost O(pixels) for large blocks).
Interval entropyAcceptanceInterval(const EntropyMoments& moments, std::size_t blocks,
                                   double alpha);

// The local entropy interval as tabulated in the literature (for 30 blocks of 1936 pixels at
// alpha = 0.05: 7.901901305 to 7.903037329): mean -+ z(1 - alpha/2) * sigma / blocks. It divides
// sigma by the block count where the mean of independent blocks has sigma / sqrt(blocks), so it
// is narrower by sqrt(blocks) than its level says: at 30 blocks it accepts only about 27% of
// truly random images. Reported beside the sound interval, never used for a verdict.
Interval tabulatedLocalEntropyInterval(std::size_t blocks, std::size_t blockPixels, double alpha);

// Expected NPCR and UACI (percent) of two independent uniform images.
inline constexpr double kNpcrExpected = 100.0 * 255.0 / 256.0;  // 99.609375
inline constexpr double kUaciExpected = 100.0 * 257.0 / 768.0;  // 33.463541...

// The randomness tests' critical values (percent) for images of `pixels` cells per plane:
// NPCR passes above npcrCriticalValue, UACI inside uaciCriticalInterval.
double npcrCriticalValue(std::size_t pixels, double alpha);
Interval uaciCriticalInterval(std::size_t pixels, double alpha);

// The largest |r| of `pairs` pairs of independent values accepted at significance alpha.
double correlationCriticalValue(std::size_t pairs, double alpha);

// ---------------------------------------------------------------------------------------------
// Measurements

using Histogram = std::array<std::uint64_t, 256>;

Histogram histogram(std::span<const std::uint8_t> plane);

// Pearson's statistic against the uniform distribution, 255 degrees of freedom.
double chiSquareStatistic(const Histogram& h);

// Shannon entropy in bits (0 for an empty histogram).
double shannonEntropy(const Histogram& h);

// Local Shannon entropy: the mean entropy of `blocks` non-overlapping square blocks of
// blockSide x blockSide pixels drawn at random (seeded) from the grid of whole blocks. When the
// plane holds fewer blocks than asked, all of them are used; `blocksUsed` says how many.
inline constexpr std::size_t kLocalEntropyBlocks = 30;
inline constexpr std::size_t kLocalEntropyBlockSide = 44;  // 1936 pixels
struct LocalEntropy {
  double mean = 0;  // NaN when no block fits
  std::size_t blocksUsed = 0;
  std::size_t blockPixels = 0;
};
LocalEntropy localShannonEntropy(std::span<const std::uint8_t> plane, std::size_t rows,
                                 std::size_t columns, std::size_t blocks, std::size_t blockSide,
                                 std::uint64_t seed);

// Correlation coefficients of all adjacent pairs: (r, c)-(r, c+1), (r, c)-(r+1, c) and
// (r, c)-(r+1, c+1). NaN where there is no pair or one side is constant.
struct AdjacentCorrelation {
  double horizontal = 0;
  double vertical = 0;
  double diagonal = 0;
  std::size_t horizontalPairs = 0;
  std::size_t verticalPairs = 0;
  std::size_t diagonalPairs = 0;
};
AdjacentCorrelation adjacentCorrelation(std::span<const std::uint8_t> plane, std::size_t rows,
                                        std::size_t columns);

// NPCR and UACI in percent between two planes of equal size.
struct DifferenceRates {
  double npcr = 0;
  double uaci = 0;
};
DifferenceRates differenceRates(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b);

std::size_t differingOctets(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b);

// Peak signal-to-noise ratio in dB for peak 255; +infinity for equal inputs.
double psnr(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b);

// ---------------------------------------------------------------------------------------------
// The result table

// What a measured value must satisfy to pass (at alpha = 0.05).
struct Criterion {
  enum class Kind { none, above, below, within, absBelow, equal };
  Kind kind = Kind::none;
  double low = 0;   // above / within / equal: the bound; absBelow / below: the limit
  double high = 0;  // within: the upper bound
};
enum class Verdict { pass, fail, info };
Verdict judge(const Criterion& c, double value);

struct MetricRow {
  std::string metric;  // e.g. "NPCR, plaintext sensitivity"
  std::string plane;   // "gray", "R", "G", "B" or "" where no plane applies
  double value = 0;
  std::string unit;    // "%", "bits", "dB", "MB/s", ""
  int decimals = 4;
  bool hasIdeal = false;
  double ideal = 0;
  Criterion criterion;
  Verdict verdict = Verdict::info;
  std::string note;    // a short remark (e.g. which pixel was changed)
};

// One critical value of a test at one significance level, for the table of critical values.
struct CriticalValue {
  std::string test;
  double alpha = 0;
  Criterion criterion;
  int decimals = 4;
};

struct Report {
  std::string title;
  std::vector<std::pair<std::string, std::string>> facts;  // name, value (image, cipher, ...)
  std::vector<MetricRow> rows;
  std::vector<CriticalValue> criticalValues;
};

// ---------------------------------------------------------------------------------------------
// Running the analysis

enum class Cipher { cube, fold };

struct AnalysisOptions {
  Cipher cipher = Cipher::fold;
  std::int32_t rounds = 1;
  CipherKey key{};
  std::uint64_t seed = 1;  // chooses the changed pixel, the flipped key bit and the blocks
};

struct CipherAnalysis {
  Report report;
  std::vector<std::uint8_t> cipherOctets;     // host layout, same shape as the plain image
  std::vector<std::uint8_t> decryptedOctets;
};

// Encrypts the image and runs every measurement. Throws std::invalid_argument for an empty
// image, a plane count other than 1 or 3 (the cube cipher: other than 1) or rounds below 1,
// and passes on the ciphers' own exceptions.
CipherAnalysis analyzeCipher(const ImageView& plain, const AnalysisOptions& options);

// NPCR, UACI and PSNR of two images of the same shape, per plane. Throws std::invalid_argument
// when the shapes differ.
Report compareImages(const ImageView& a, const ImageView& b);

// ---------------------------------------------------------------------------------------------
// Rendering

std::string renderText(const Report& report);
std::string renderJson(const Report& report);

// The three images as already-encoded PNG files.
struct EncodedImages {
  std::vector<std::uint8_t> plainPng;
  std::vector<std::uint8_t> cipherPng;
  std::vector<std::uint8_t> decryptedPng;
};

// One self-contained HTML page: the images (embedded), histograms and adjacent-pixel scatter
// plots of the plain and cipher images (SVG), and the table with pass/fail marks.
std::string renderHtml(const Report& report, const ImageView& plain, const ImageView& cipher,
                       const EncodedImages& images, std::uint64_t seed);

}  // namespace chaosmix::analysis

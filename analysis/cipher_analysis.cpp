// Runs every measurement on a cipher: encrypts the image, measures the cipher image against
// the plain one, changes one pixel and one key bit, decrypts with the right and a wrong key,
// and times both directions.

#include <chaosmix/analysis.h>
#include <chaosmix/cube.h>
#include <chaosmix/fold.h>

#include "analysis/rows.h"
#include "analysis/seeded_draw.h"
#include "analysis/table_format.h"

#include <chrono>
#include <cmath>
#include <functional>
#include <limits>
#include <stdexcept>

namespace chaosmix::analysis {
namespace {

using Octets = std::vector<std::uint8_t>;
using Transform = std::function<Octets(std::span<const std::uint8_t>, const CipherKey&)>;

struct CipherCalls {
  Transform encrypt;
  Transform decrypt;
};

void validate(const ImageView& plain, const AnalysisOptions& options) {
  if (plain.rows == 0 || plain.columns == 0) throw std::invalid_argument("the image is empty");
  if (plain.planes != 1 && plain.planes != 3)
    throw std::invalid_argument("the image must have 1 or 3 planes");
  if (plain.octets.size() != plain.cells() * plain.planes)
    throw std::invalid_argument("the image's octet count does not match its shape");
  if (options.cipher == Cipher::cube && plain.planes != 1)
    throw std::invalid_argument("the cube cipher takes gray images only");
  if (options.rounds < 1) throw std::invalid_argument("the round count must be at least 1");
}

CipherCalls cipherCalls(const ImageView& image, const AnalysisOptions& options) {
  const std::size_t rows = image.rows;
  const std::size_t columns = image.columns;
  const std::int32_t rounds = options.rounds;
  if (options.cipher == Cipher::cube) {
    return {[=](std::span<const std::uint8_t> in, const CipherKey& key) {
              return cubeEncrypt(in, rows, columns, rounds, key);
            },
            [=](std::span<const std::uint8_t> in, const CipherKey& key) {
              return cubeDecrypt(in, rows, columns, rounds, key);
            }};
  }
  const CellKind kind = image.planes == 3 ? CellKind::colour : CellKind::gray;
  return {[=](std::span<const std::uint8_t> in, const CipherKey& key) {
            return foldEncrypt(in, rows, columns, kind, rounds, key);
          },
          [=](std::span<const std::uint8_t> in, const CipherKey& key) {
            return foldDecrypt(in, rows, columns, kind, rounds, key);
          }};
}

ImageView viewLike(const ImageView& shape, const Octets& octets) {
  return {shape.rows, shape.columns, shape.planes, octets};
}

// Runs f and returns the seconds it took.
template <class F>
double timed(F&& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double megabytesPerSecond(std::size_t octets, double seconds) {
  return seconds > 0 ? static_cast<double>(octets) / seconds / 1e6
                     : std::numeric_limits<double>::infinity();
}

void addStatisticRows(std::vector<MetricRow>& rows, const ImageView& plain,
                      const ImageView& cipher, const EntropyMoments& globalMoments,
                      std::uint64_t seed) {
  const std::size_t planes = plain.planes;
  const double chiBound = chiSquareCriticalValue(255, kVerdictAlpha);
  const Interval globalBounds = entropyAcceptanceInterval(globalMoments, 1, kVerdictAlpha);
  const double globalMean = globalMoments.mean;

  for (std::size_t p = 0; p < planes; ++p)
    rows.push_back(withIdeal(makeInfoRow("Histogram chi-square, plain", planeLabel(planes, p),
                                         chiSquareStatistic(histogram(plain.plane(p))), "", 2),
                             255));
  for (std::size_t p = 0; p < planes; ++p)
    rows.push_back(withIdeal(makeRow("Histogram chi-square, cipher", planeLabel(planes, p),
                                     chiSquareStatistic(histogram(cipher.plane(p))), "", 2,
                                     {Criterion::Kind::below, chiBound, 0}),
                             255));
  for (std::size_t p = 0; p < planes; ++p)
    rows.push_back(withIdeal(makeInfoRow("Global entropy, plain", planeLabel(planes, p),
                                         shannonEntropy(histogram(plain.plane(p))), "bits", 6),
                             8));
  for (std::size_t p = 0; p < planes; ++p)
    rows.push_back(withNote(
        withIdeal(makeRow("Global entropy, cipher", planeLabel(planes, p),
                          shannonEntropy(histogram(cipher.plane(p))), "bits", 6,
                          {Criterion::Kind::within, globalBounds.low, globalBounds.high}),
                  8),
        "expected " + formatNumber(globalMean, 6) + " bits for a uniform image"));

  for (std::size_t p = 0; p < planes; ++p) {
    const LocalEntropy local =
        localShannonEntropy(cipher.plane(p), cipher.rows, cipher.columns, kLocalEntropyBlocks,
                            kLocalEntropyBlockSide, seed);
    const std::string metric = "Local entropy, cipher";
    if (local.blocksUsed == 0) {
      rows.push_back(withNote(makeInfoRow(metric, planeLabel(planes, p), local.mean, "bits", 6),
                              "the image holds no 44 x 44 block"));
      continue;
    }
    const Interval sound = entropyAcceptanceInterval(local.blocksUsed, local.blockPixels,
                                                     kVerdictAlpha);
    const Interval tabulated = tabulatedLocalEntropyInterval(local.blocksUsed, local.blockPixels,
                                                             kVerdictAlpha);
    const bool insideTabulated = local.mean > tabulated.low && local.mean < tabulated.high;
    rows.push_back(withNote(
        withIdeal(makeRow(metric, planeLabel(planes, p), local.mean, "bits", 6,
                          {Criterion::Kind::within, sound.low, sound.high}),
                  sampleEntropyMoments(local.blockPixels).mean),
        std::to_string(local.blocksUsed) + " blocks of " + std::to_string(local.blockPixels) +
            " pixels; " + (insideTabulated ? "inside" : "outside") +
            " the tabulated interval (sigma/k)"));
  }

  const struct {
    const char* name;
    double AdjacentCorrelation::*value;
    std::size_t AdjacentCorrelation::*pairs;
  } directions[] = {{"horizontal", &AdjacentCorrelation::horizontal,
                     &AdjacentCorrelation::horizontalPairs},
                    {"vertical", &AdjacentCorrelation::vertical, &AdjacentCorrelation::verticalPairs},
                    {"diagonal", &AdjacentCorrelation::diagonal, &AdjacentCorrelation::diagonalPairs}};
  std::vector<AdjacentCorrelation> plainR, cipherR;
  for (std::size_t p = 0; p < planes; ++p) {
    plainR.push_back(adjacentCorrelation(plain.plane(p), plain.rows, plain.columns));
    cipherR.push_back(adjacentCorrelation(cipher.plane(p), cipher.rows, cipher.columns));
  }
  for (const auto& d : directions) {
    for (std::size_t p = 0; p < planes; ++p)
      rows.push_back(makeInfoRow(std::string("Correlation ") + d.name + ", plain",
                                 planeLabel(planes, p), plainR[p].*d.value, "", 4));
    for (std::size_t p = 0; p < planes; ++p) {
      const double bound = correlationCriticalValue(cipherR[p].*d.pairs, kVerdictAlpha);
      rows.push_back(withIdeal(makeRow(std::string("Correlation ") + d.name + ", cipher",
                                       planeLabel(planes, p), cipherR[p].*d.value, "", 4,
                                       std::isnan(bound) ? Criterion{}
                                                         : Criterion{Criterion::Kind::absBelow,
                                                                     bound, 0}),
                               0));
    }
  }
}

void addCriticalValues(std::vector<CriticalValue>& values, const ImageView& plain,
                       const EntropyMoments& globalMoments) {
  for (const double alpha : kSignificanceLevels)
    values.push_back({"chi-square, 255 degrees of freedom", alpha,
                      {Criterion::Kind::below, chiSquareCriticalValue(255, alpha), 0}, 4});
  const std::string pixels = std::to_string(plain.cells()) + " pixels";
  for (const double alpha : kSignificanceLevels) {
    const Interval i = entropyAcceptanceInterval(globalMoments, 1, alpha);
    values.push_back({"global entropy, " + pixels, alpha, {Criterion::Kind::within, i.low, i.high},
                      6});
  }
  const LocalEntropy probe = localShannonEntropy(plain.plane(0), plain.rows, plain.columns,
                                                 kLocalEntropyBlocks, kLocalEntropyBlockSide, 0);
  if (probe.blocksUsed > 0) {
    const std::string blocks = std::to_string(probe.blocksUsed) + " x " +
                               std::to_string(probe.blockPixels) + " pixels";
    for (const double alpha : kSignificanceLevels) {
      const Interval i = entropyAcceptanceInterval(probe.blocksUsed, probe.blockPixels, alpha);
      values.push_back({"local entropy, " + blocks, alpha,
                        {Criterion::Kind::within, i.low, i.high}, 9});
    }
    for (const double alpha : kSignificanceLevels) {
      const Interval i =
          tabulatedLocalEntropyInterval(probe.blocksUsed, probe.blockPixels, alpha);
      values.push_back({"local entropy (tabulated, sigma/k), " + blocks, alpha,
                        {Criterion::Kind::within, i.low, i.high}, 9});
    }
  }
  addDifferenceCriticalValues(values, plain.cells());
  const std::size_t pairs = plain.rows * (plain.columns - 1);
  if (pairs > 0)
    for (const double alpha : kSignificanceLevels)
      values.push_back({"correlation, " + std::to_string(pairs) + " horizontal pairs", alpha,
                        {Criterion::Kind::absBelow, correlationCriticalValue(pairs, alpha), 0},
                        6});
}

}  // namespace

CipherAnalysis analyzeCipher(const ImageView& plain, const AnalysisOptions& options) {
  validate(plain, options);
  const CipherCalls calls = cipherCalls(plain, options);
  CipherAnalysis result;
  Report& report = result.report;

  const double encryptSeconds =
      timed([&] { result.cipherOctets = calls.encrypt(plain.octets, options.key); });
  const double decryptSeconds =
      timed([&] { result.decryptedOctets = calls.decrypt(result.cipherOctets, options.key); });
  const ImageView cipher = viewLike(plain, result.cipherOctets);
  const ImageView decrypted = viewLike(plain, result.decryptedOctets);

  // One pixel of the first plane changed by one, and one key bit flipped, both drawn from the seed.
  std::mt19937_64 rng(options.seed);
  const std::size_t changedCell = static_cast<std::size_t>(drawBelow(rng, plain.cells()));
  Octets nudgedPlain(plain.octets.begin(), plain.octets.end());
  nudgedPlain[changedCell] = nudgedPlain[changedCell] < 255 ? nudgedPlain[changedCell] + 1 : 254;
  const Octets nudgedCipher = calls.encrypt(nudgedPlain, options.key);
  const unsigned flippedBit = static_cast<unsigned>(drawBelow(rng, 128));
  CipherKey otherKey = options.key;
  otherKey[flippedBit / 8] ^= static_cast<std::uint8_t>(1u << (flippedBit % 8));
  const Octets otherKeyCipher = calls.encrypt(plain.octets, otherKey);
  const Octets wrongKeyPlain = calls.decrypt(result.cipherOctets, otherKey);

  const std::string changedPixel = "row " + std::to_string(changedCell % plain.rows) +
                                   ", column " + std::to_string(changedCell / plain.rows) +
                                   " of plane 1 (from 0)";
  report.title = std::string(options.cipher == Cipher::cube ? "Cube" : "Fold") +
                 " cipher, " + std::to_string(options.rounds) +
                 (options.rounds == 1 ? " round" : " rounds");
  report.facts = {
      {"cipher", options.cipher == Cipher::cube ? "cube" : "fold"},
      {"rounds", std::to_string(options.rounds)},
      {"image", std::to_string(plain.rows) + " rows x " + std::to_string(plain.columns) +
                    " columns, " + (plain.planes == 1 ? "gray" : "RGB")},
      {"seed", std::to_string(options.seed)},
      {"changed pixel", changedPixel},
      {"flipped key bit", "bit " + std::to_string(flippedBit % 8) + " of key octet " +
                              std::to_string(flippedBit / 8) + " (from 0)"},
      {"significance level of the verdicts", "0.05"},
  };

  // The entropy moments of the whole plane cost O(cells) for large images: computed once.
  const EntropyMoments globalMoments = sampleEntropyMoments(plain.cells());
  addStatisticRows(report.rows, plain, cipher, globalMoments, options.seed);
  addDifferenceRows(report.rows, "plaintext sensitivity", cipher,
                    viewLike(plain, nudgedCipher), true);
  addDifferenceRows(report.rows, "key sensitivity", cipher, viewLike(plain, otherKeyCipher), true);
  addDifferenceRows(report.rows, "wrong-key decryption", plain, viewLike(plain, wrongKeyPlain),
                    false);

  const std::size_t lost = differingOctets(plain.octets, result.decryptedOctets);
  report.rows.push_back(withIdeal(makeRow("Round trip, octets that differ", "", double(lost), "", 0,
                                          {Criterion::Kind::equal, 0, 0}),
                                  0));
  report.rows.push_back(withIdeal(
      makeInfoRow("PSNR, decrypted against plain", "", psnr(plain.octets, decrypted.octets), "dB",
                  2),
      std::numeric_limits<double>::infinity()));
  if (options.cipher == Cipher::cube) {
    const CubePermutationReach reach = cubePermutationReach(plain.cells(), options.key);
    report.rows.push_back(withNote(
        withIdeal(makeRow("Cube permutation, cells no source reaches", "",
                          double(reach.unreachedCells), "", 0, {Criterion::Kind::equal, 0, 0}),
                  0),
        reach.oneToOne ? "one-to-one" : "not one-to-one: decryption cannot restore the image"));
  }
  report.rows.push_back(makeInfoRow("Speed, encryption", "",
                                    megabytesPerSecond(plain.octets.size(), encryptSeconds),
                                    "MB/s", 1));
  report.rows.push_back(makeInfoRow("Speed, decryption", "",
                                    megabytesPerSecond(plain.octets.size(), decryptSeconds),
                                    "MB/s", 1));
  addCriticalValues(report.criticalValues, plain, globalMoments);
  return result;
}

}  // namespace chaosmix::analysis

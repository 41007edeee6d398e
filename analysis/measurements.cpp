// The per-plane measurements: histogram, chi-square, entropy, adjacent-pixel correlation,
// NPCR/UACI and PSNR.

#include <chaosmix/analysis.h>

#include "analysis/seeded_draw.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <stdexcept>

namespace chaosmix::analysis {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

void requireSameSize(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
  if (a.size() != b.size()) throw std::invalid_argument("the two planes differ in size");
}

// Exact integer sums of the pairs, then Pearson's r.
struct PairSums {
  std::uint64_t n = 0, x = 0, y = 0, xx = 0, yy = 0, xy = 0;
  void add(std::uint32_t a, std::uint32_t b) {
    ++n;
    x += a;
    y += b;
    xx += a * a;
    yy += b * b;
    xy += a * b;
  }
  double correlation() const {
    using Wide = __int128;
    const Wide cov = Wide(n) * Wide(xy) - Wide(x) * Wide(y);
    const Wide varX = Wide(n) * Wide(xx) - Wide(x) * Wide(x);
    const Wide varY = Wide(n) * Wide(yy) - Wide(y) * Wide(y);
    if (n == 0 || varX == 0 || varY == 0) return kNaN;
    return static_cast<double>(static_cast<long double>(cov) /
                               std::sqrt(static_cast<long double>(varX) *
                                         static_cast<long double>(varY)));
  }
};

}  // namespace

Histogram histogram(std::span<const std::uint8_t> plane) {
  Histogram h{};
  for (const std::uint8_t v : plane) ++h[v];
  return h;
}

double chiSquareStatistic(const Histogram& h) {
  std::uint64_t total = 0;
  for (const auto c : h) total += c;
  if (total == 0) return kNaN;
  const double expected = static_cast<double>(total) / 256.0;
  double chi = 0;
  for (const auto c : h) {
    const double d = static_cast<double>(c) - expected;
    chi += d * d / expected;
  }
  return chi;
}

double shannonEntropy(const Histogram& h) {
  std::uint64_t total = 0;
  for (const auto c : h) total += c;
  if (total == 0) return 0;
  double entropy = 0;
  for (const auto c : h) {
    if (c == 0) continue;
    const double p = static_cast<double>(c) / static_cast<double>(total);
    entropy -= p * std::log2(p);
  }
  return entropy;
}

LocalEntropy localShannonEntropy(std::span<const std::uint8_t> plane, std::size_t rows,
                                 std::size_t columns, std::size_t blocks, std::size_t blockSide,
                                 std::uint64_t seed) {
  if (plane.size() != rows * columns) throw std::invalid_argument("the plane size does not match");
  if (blockSide == 0) throw std::invalid_argument("the block side must be at least 1");
  LocalEntropy result;
  result.blockPixels = blockSide * blockSide;
  const std::size_t down = rows / blockSide;
  const std::size_t across = columns / blockSide;
  const std::size_t available = down * across;
  result.blocksUsed = std::min(blocks, available);
  if (result.blocksUsed == 0) {
    result.mean = kNaN;
    return result;
  }
  std::mt19937_64 rng(seed);
  double sum = 0;
  for (const std::size_t b : drawDistinct(rng, available, result.blocksUsed)) {
    const std::size_t row0 = (b % down) * blockSide;
    const std::size_t column0 = (b / down) * blockSide;
    Histogram h{};
    for (std::size_t c = column0; c < column0 + blockSide; ++c)
      for (std::size_t r = row0; r < row0 + blockSide; ++r) ++h[plane[r + rows * c]];
    sum += shannonEntropy(h);
  }
  result.mean = sum / static_cast<double>(result.blocksUsed);
  return result;
}

AdjacentCorrelation adjacentCorrelation(std::span<const std::uint8_t> plane, std::size_t rows,
                                        std::size_t columns) {
  if (plane.size() != rows * columns) throw std::invalid_argument("the plane size does not match");
  PairSums h, v, d;
  for (std::size_t c = 0; c < columns; ++c) {
    for (std::size_t r = 0; r < rows; ++r) {
      const std::size_t cell = r + rows * c;
      const std::uint32_t here = plane[cell];
      if (c + 1 < columns) h.add(here, plane[cell + rows]);
      if (r + 1 < rows) v.add(here, plane[cell + 1]);
      if (c + 1 < columns && r + 1 < rows) d.add(here, plane[cell + rows + 1]);
    }
  }
  return {h.correlation(), v.correlation(), d.correlation(), h.n, v.n, d.n};
}

DifferenceRates differenceRates(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
  requireSameSize(a, b);
  if (a.empty()) return {kNaN, kNaN};
  std::uint64_t differing = 0;
  std::uint64_t intensity = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    differing += a[i] != b[i];
    intensity += static_cast<std::uint64_t>(std::abs(int{a[i]} - int{b[i]}));
  }
  const double n = static_cast<double>(a.size());
  return {100.0 * static_cast<double>(differing) / n,
          100.0 * static_cast<double>(intensity) / (255.0 * n)};
}

std::size_t differingOctets(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
  requireSameSize(a, b);
  std::size_t differing = 0;
  for (std::size_t i = 0; i < a.size(); ++i) differing += a[i] != b[i];
  return differing;
}

double psnr(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
  requireSameSize(a, b);
  if (a.empty()) return kNaN;
  std::uint64_t squares = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const std::int64_t d = int{a[i]} - int{b[i]};
    squares += static_cast<std::uint64_t>(d * d);
  }
  if (squares == 0) return std::numeric_limits<double>::infinity();
  const double mse = static_cast<double>(squares) / static_cast<double>(a.size());
  return 10.0 * std::log10(255.0 * 255.0 / mse);
}

}  // namespace chaosmix::analysis

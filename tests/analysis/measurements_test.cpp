// Each measurement against the values its definition gives for a constant image, a ramp, a
// checkerboard and a uniformly distributed image.

#include <chaosmix/analysis.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <stdexcept>

namespace chaosmix::analysis {
namespace {

using Octets = std::vector<std::uint8_t>;

// A rows x columns plane (column-major) with the value f(row, column).
Octets makePlane(std::size_t rows, std::size_t columns,
                 const std::function<int(std::size_t, std::size_t)>& f) {
  Octets plane(rows * columns);
  for (std::size_t c = 0; c < columns; ++c)
    for (std::size_t r = 0; r < rows; ++r) plane[r + rows * c] = static_cast<std::uint8_t>(f(r, c));
  return plane;
}

Octets uniformPlane(std::size_t n, std::uint64_t seed) {
  std::mt19937_64 rng(seed);
  Octets plane(n);
  for (auto& v : plane) v = static_cast<std::uint8_t>(rng() >> 56);
  return plane;
}

constexpr std::size_t kSide = 256;
const Octets kConstant = makePlane(kSide, kSide, [](auto, auto) { return 77; });
const Octets kRamp = makePlane(kSide, kSide, [](auto, std::size_t c) { return int(c); });
const Octets kChecker =
    makePlane(kSide, kSide, [](std::size_t r, std::size_t c) { return (r + c) % 2 ? 255 : 0; });

struct StatisticCase {
  const char* name;
  const Octets* plane;
  double chiSquare, entropy, localEntropy, horizontal, vertical, diagonal;
};

TEST(Measurements, KnownImages) {
  const double nan = std::nan("");
  const double n = kSide * kSide;
  const StatisticCase cases[] = {
      // one bin holds everything: chi-square 255 n, no entropy, no correlation defined
      {"constant", &kConstant, 255 * n, 0, 0, nan, nan, nan},
      // every value 256 times: chi-square 0, 8 bits; a 44 x 44 block holds 44 values 44 times
      {"ramp", &kRamp, 0, 8, std::log2(44.0), 1, 1, 1},
      // two bins of n/2: chi-square 127 n, 1 bit; neighbours across are opposite, diagonal equal
      {"checkerboard", &kChecker, 127 * n, 1, 1, -1, -1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Histogram h = histogram(*c.plane);
    EXPECT_NEAR(chiSquareStatistic(h), c.chiSquare, 1e-6 * std::max(1.0, c.chiSquare));
    EXPECT_NEAR(shannonEntropy(h), c.entropy, 1e-12);
    const LocalEntropy local = localShannonEntropy(*c.plane, kSide, kSide, 30, 44, 5);
    EXPECT_EQ(local.blocksUsed, 25u);  // a 256 x 256 plane holds 5 x 5 whole blocks
    EXPECT_EQ(local.blockPixels, 1936u);
    EXPECT_NEAR(local.mean, c.localEntropy, 1e-12);
    const AdjacentCorrelation r = adjacentCorrelation(*c.plane, kSide, kSide);
    const double expected[] = {c.horizontal, c.vertical, c.diagonal};
    const double got[] = {r.horizontal, r.vertical, r.diagonal};
    for (int d = 0; d < 3; ++d) {
      if (std::isnan(expected[d])) EXPECT_TRUE(std::isnan(got[d])) << d;
      else EXPECT_NEAR(got[d], expected[d], 1e-12) << d;
    }
    EXPECT_EQ(r.horizontalPairs, kSide * (kSide - 1));
    EXPECT_EQ(r.verticalPairs, kSide * (kSide - 1));
    EXPECT_EQ(r.diagonalPairs, (kSide - 1) * (kSide - 1));
  }
}

TEST(Measurements, UniformImagePassesItsTests) {
  const Octets plane = uniformPlane(512 * 512, 11);
  const Histogram h = histogram(plane);
  EXPECT_LT(chiSquareStatistic(h), chiSquareCriticalValue(255, 0.001));
  const Interval global = entropyAcceptanceInterval(1, plane.size(), 0.001);
  EXPECT_GT(shannonEntropy(h), global.low);
  EXPECT_LT(shannonEntropy(h), global.high);
  const LocalEntropy local = localShannonEntropy(plane, 512, 512, 30, 44, 3);
  EXPECT_EQ(local.blocksUsed, 30u);
  const Interval li = entropyAcceptanceInterval(30, 1936, 0.001);
  EXPECT_GT(local.mean, li.low);
  EXPECT_LT(local.mean, li.high);
  const AdjacentCorrelation r = adjacentCorrelation(plane, 512, 512);
  for (const double v : {r.horizontal, r.vertical, r.diagonal})
    EXPECT_LT(std::fabs(v), correlationCriticalValue(r.diagonalPairs, 0.001));
}

TEST(Measurements, CorrelationSeesTheImageLayout) {
  // Columns alternate between a rising and a falling ramp down the rows: horizontal pairs are
  // exactly opposite, vertical pairs nearly equal; a row-major reading would swap the two.
  const Octets plane = makePlane(
      40, 3, [](std::size_t r, std::size_t c) { return c % 2 ? 255 - int(r * 5) : int(r * 5); });
  const AdjacentCorrelation r = adjacentCorrelation(plane, 40, 3);
  EXPECT_NEAR(r.horizontal, -1, 1e-12);
  EXPECT_GT(r.vertical, 0.99);
  EXPECT_LT(r.diagonal, -0.99);
  EXPECT_EQ(r.horizontalPairs, 40u * 2);
  EXPECT_EQ(r.verticalPairs, 39u * 3);
  EXPECT_EQ(r.diagonalPairs, 39u * 2);
  const Octets single = makePlane(1, 5, [](auto, std::size_t c) { return int(c); });
  const AdjacentCorrelation s = adjacentCorrelation(single, 1, 5);
  EXPECT_NEAR(s.horizontal, 1, 1e-12);
  EXPECT_TRUE(std::isnan(s.vertical));
  EXPECT_EQ(s.verticalPairs, 0u);
}

TEST(LocalEntropyBlocks, SeededAndBoundedByTheGrid) {
  const Octets plane = uniformPlane(512 * 512, 4);
  const LocalEntropy a = localShannonEntropy(plane, 512, 512, 30, 44, 99);
  EXPECT_EQ(localShannonEntropy(plane, 512, 512, 30, 44, 99).mean, a.mean);
  EXPECT_NE(localShannonEntropy(plane, 512, 512, 30, 44, 100).mean, a.mean);
  // All 121 blocks of the 11 x 11 grid, whatever the seed.
  EXPECT_NEAR(localShannonEntropy(plane, 512, 512, 500, 44, 1).mean,
              localShannonEntropy(plane, 512, 512, 500, 44, 2).mean, 1e-13);
  EXPECT_EQ(localShannonEntropy(plane, 512, 512, 500, 44, 1).blocksUsed, 121u);
  const LocalEntropy none = localShannonEntropy(Octets(43 * 600), 43, 600, 30, 44, 1);
  EXPECT_EQ(none.blocksUsed, 0u);
  EXPECT_TRUE(std::isnan(none.mean));
  EXPECT_THROW(localShannonEntropy(plane, 512, 511, 30, 44, 1), std::invalid_argument);
}

TEST(DifferenceRates, KnownPairs) {
  const struct {
    const char* name;
    Octets a, b;
    double npcr, uaci;
  } cases[] = {
      {"equal", Octets(1000, 9), Octets(1000, 9), 0, 0},
      {"extremes", Octets(1000, 0), Octets(1000, 255), 100, 100},
      {"one apart", Octets(1000, 7), Octets(1000, 8), 100, 100.0 / 255},
      {"half differ by 51", Octets{0, 0, 10, 10}, Octets{0, 51, 10, 61}, 50, 100.0 * 102 / 1020},
  };
  for (const auto& c : cases) {
    const DifferenceRates r = differenceRates(c.a, c.b);
    EXPECT_NEAR(r.npcr, c.npcr, 1e-12) << c.name;
    EXPECT_NEAR(r.uaci, c.uaci, 1e-12) << c.name;
    EXPECT_EQ(differenceRates(c.b, c.a).uaci, r.uaci) << c.name;
  }
  EXPECT_THROW(differenceRates(Octets(3), Octets(4)), std::invalid_argument);
}

TEST(DifferenceRates, IndependentUniformImagesGiveTheExpectedValues) {
  for (const std::size_t side : {256u, 512u}) {
    const Octets a = uniformPlane(side * side, 21);
    const Octets b = uniformPlane(side * side, 22);
    const DifferenceRates r = differenceRates(a, b);
    EXPECT_NEAR(r.npcr, kNpcrExpected, 0.08) << side;
    EXPECT_NEAR(r.uaci, kUaciExpected, 0.25) << side;
    EXPECT_GT(r.npcr, npcrCriticalValue(side * side, 0.001)) << side;
    const Interval u = uaciCriticalInterval(side * side, 0.001);
    EXPECT_GT(r.uaci, u.low) << side;
    EXPECT_LT(r.uaci, u.high) << side;
  }
}

TEST(Psnr, KnownPairs) {
  EXPECT_TRUE(std::isinf(psnr(Octets(10, 3), Octets(10, 3))));
  EXPECT_NEAR(psnr(Octets(10, 3), Octets(10, 4)), 10 * std::log10(65025.0), 1e-12);
  EXPECT_NEAR(psnr(Octets{0, 0}, Octets{0, 255}), 10 * std::log10(2.0), 1e-12);
  EXPECT_EQ(differingOctets(Octets{1, 2, 3}, Octets{1, 0, 0}), 2u);
  EXPECT_THROW(psnr(Octets(2), Octets(3)), std::invalid_argument);
}

}  // namespace
}  // namespace chaosmix::analysis

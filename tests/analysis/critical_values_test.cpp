// The critical values against published tables and exact small cases.

#include <chaosmix/analysis.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <stdexcept>

namespace chaosmix::analysis {
namespace {

TEST(InverseNormal, MatchesTabulatedQuantiles) {
  const struct {
    double p, z;
  } cases[] = {{0.5, 0.0},
               {0.975, 1.959963984540054},
               {0.95, 1.644853626951472},
               {0.995, 2.575829303548901},
               {0.9995, 3.290526731491926},
               {0.01, -2.326347874040841},
               {0.001, -3.090232306167814},
               {1e-10, -6.361340902404056},
               {0.02425, -1.9729610513118845}};
  for (const auto& c : cases) {
    EXPECT_NEAR(inverseNormalCdf(c.p), c.z, 1e-13 * std::max(1.0, std::fabs(c.z))) << c.p;
    // 1 - p is rounded for tiny p, which moves the quantile; compare where it is exact.
    if (c.p >= 0.25) {
      EXPECT_EQ(inverseNormalCdf(1 - c.p), -inverseNormalCdf(c.p)) << c.p;
    }
  }
}

TEST(InverseNormal, RefusesProbabilitiesOutsideTheOpenUnitInterval) {
  for (const double p : {0.0, 1.0, -0.5, 2.0, std::nan("")})
    EXPECT_THROW(inverseNormalCdf(p), std::invalid_argument) << p;
}

TEST(IncompleteGamma, MatchesClosedForms) {
  // Q(1, x) = exp(-x); Q(1/2, x) = erfc(sqrt(x)); Q(2, x) = (1 + x) exp(-x).
  for (const double x : {0.0, 0.1, 0.5, 1.0, 1.5, 2.0, 5.0, 20.0, 100.0}) {
    EXPECT_NEAR(regularizedGammaQ(1, x), std::exp(-x), 1e-15) << x;
    EXPECT_NEAR(regularizedGammaQ(0.5, x), std::erfc(std::sqrt(x)), 1e-15) << x;
    EXPECT_NEAR(regularizedGammaQ(2, x), (1 + x) * std::exp(-x), 1e-15) << x;
  }
}

TEST(ChiSquare, CriticalValuesMatchTheTables) {
  const struct {
    double dof, alpha, value, tolerance;
  } cases[] = {{1, 0.05, 3.841459, 1e-6},     {2, 0.05, 5.991465, 1e-6},
               {1, 0.001, 10.827566, 1e-6},   {10, 0.05, 18.307038, 1e-6},
               {10, 0.01, 23.209251, 1e-6},   {100, 0.05, 124.342113, 1e-6},
               {100, 0.001, 149.449252, 1e-6}, {255, 0.05, 293.25, 0.005}};
  for (const auto& c : cases) {
    const double x = chiSquareCriticalValue(c.dof, c.alpha);
    EXPECT_NEAR(x, c.value, c.tolerance) << c.dof << " " << c.alpha;
    EXPECT_NEAR(regularizedGammaQ(c.dof / 2, x / 2), c.alpha, 1e-12);
  }
}

TEST(EntropyMoments, ExactForTinySamples) {
  // One pixel: entropy 0. Two: 0 when equal (1/256), else 1 bit. Three: 0, H(1/3, 2/3) or
  // log2(3) with probabilities 1/65536, 3 * 255/65536, 255 * 254/65536.
  EXPECT_DOUBLE_EQ(sampleEntropyMoments(1).mean, 0.0);
  EXPECT_NEAR(sampleEntropyMoments(1).variance, 0.0, 1e-18);
  const EntropyMoments two = sampleEntropyMoments(2);
  EXPECT_NEAR(two.mean, 255.0 / 256, 1e-15);
  EXPECT_NEAR(two.variance, 255.0 / 256 / 256, 1e-15);
  const double h12 = -(1.0 / 3 * std::log2(1.0 / 3) + 2.0 / 3 * std::log2(2.0 / 3));
  const double p1 = 3 * 255 / 65536.0, p2 = 255 * 254 / 65536.0;
  const double mean = p1 * h12 + p2 * std::log2(3.0);
  const double second = p1 * h12 * h12 + p2 * std::log2(3.0) * std::log2(3.0);
  const EntropyMoments three = sampleEntropyMoments(3);
  EXPECT_NEAR(three.mean, mean, 1e-14);
  EXPECT_NEAR(three.variance, second - mean * mean, 1e-14);
}

TEST(LocalEntropy, TabulatedIntervalsAreReproduced) {
  // The local entropy test's published intervals for 30 blocks of 1936 pixels.
  const struct {
    double alpha, low, high;
  } cases[] = {{0.05, 7.901901305, 7.903037329},
               {0.01, 7.901722822, 7.903215812},
               {0.001, 7.901515698, 7.903422936}};
  for (const auto& c : cases) {
    const Interval i = tabulatedLocalEntropyInterval(30, 1936, c.alpha);
    EXPECT_NEAR(i.low, c.low, 1.5e-9) << c.alpha;
    EXPECT_NEAR(i.high, c.high, 1.5e-9) << c.alpha;
  }
  EXPECT_NEAR(sampleEntropyMoments(1936).mean, 7.902469317, 1e-9);
}

// The mean entropy of 30 blocks of uniform octets falls inside the sound interval at the rate
// its level promises, and inside the tabulated one far less often.
TEST(LocalEntropy, SoundIntervalHoldsItsLevel) {
  const Interval sound = entropyAcceptanceInterval(30, 1936, 0.05);
  const Interval tabulated = tabulatedLocalEntropyInterval(30, 1936, 0.05);
  std::mt19937_64 rng(8);
  const int trials = 400;
  int insideSound = 0, insideTabulated = 0;
  for (int t = 0; t < trials; ++t) {
    double sum = 0;
    for (int b = 0; b < 30; ++b) {
      Histogram h{};
      for (int i = 0; i < 1936; ++i) ++h[rng() & 255];
      sum += shannonEntropy(h);
    }
    const double mean = sum / 30;
    insideSound += mean > sound.low && mean < sound.high;
    insideTabulated += mean > tabulated.low && mean < tabulated.high;
  }
  EXPECT_GT(insideSound, 0.92 * trials);
  EXPECT_LT(insideSound, 0.98 * trials);
  EXPECT_LT(insideTabulated, 0.40 * trials);
}

TEST(DifferenceTests, CriticalValuesMatchThePublishedOnes) {
  const struct {
    std::size_t pixels;
    double alpha, npcr, uaciLow, uaciHigh;
  } cases[] = {{256 * 256, 0.05, 99.5693, 33.2824, 33.6447},
               {256 * 256, 0.01, 99.5527, 33.2255, 33.7016},
               {256 * 256, 0.001, 99.5341, 33.1594, 33.7677},
               {512 * 512, 0.05, 99.5893, 33.3730, 33.5541},
               {512 * 512, 0.01, 99.5810, 33.3445, 33.5826},
               {512 * 512, 0.001, 99.5717, 33.3115, 33.6156}};
  for (const auto& c : cases) {
    EXPECT_NEAR(npcrCriticalValue(c.pixels, c.alpha), c.npcr, 5e-5) << c.pixels << " " << c.alpha;
    const Interval u = uaciCriticalInterval(c.pixels, c.alpha);
    EXPECT_NEAR(u.low, c.uaciLow, 5e-5) << c.pixels << " " << c.alpha;
    EXPECT_NEAR(u.high, c.uaciHigh, 5e-5) << c.pixels << " " << c.alpha;
  }
  EXPECT_NEAR(kNpcrExpected, 99.6094, 5e-5);
  EXPECT_NEAR(kUaciExpected, 33.4635, 5e-5);
}

TEST(DifferenceTests, RefuseBadArguments) {
  EXPECT_THROW(npcrCriticalValue(0, 0.05), std::invalid_argument);
  EXPECT_THROW(uaciCriticalInterval(100, 0.0), std::invalid_argument);
  EXPECT_THROW(chiSquareCriticalValue(0, 0.05), std::invalid_argument);
  EXPECT_THROW(entropyAcceptanceInterval(0, 1936, 0.05), std::invalid_argument);
}

TEST(Correlation, CriticalValueShrinksWithTheRootOfThePairs) {
  EXPECT_NEAR(correlationCriticalValue(10000, 0.05), 0.01959963984540054, 1e-15);
  EXPECT_NEAR(correlationCriticalValue(40000, 0.01), 2.575829303548901 / 200, 1e-15);
  EXPECT_TRUE(std::isnan(correlationCriticalValue(0, 0.05)));
}

}  // namespace
}  // namespace chaosmix::analysis

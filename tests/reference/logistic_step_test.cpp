// The library's two-operation logistic step gives the bits of the three-operation one.

#include "reference.h"

#include "common/logistic.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace chaosmix::reference {
namespace {

// Same bits, or both NaN.
bool sameResult(double x) {
  const double fast = chaosmix::logisticStep(x);
  const double plain = reference::logisticStep(x);
  if (std::isnan(plain)) return std::isnan(fast);
  return std::bit_cast<std::uint64_t>(fast) == std::bit_cast<std::uint64_t>(plain);
}

// splitmix64: a fast source of well-mixed bit patterns.
struct SplitMix {
  std::uint64_t state;
  std::uint64_t next() {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
};

#ifdef NDEBUG
constexpr std::uint64_t kRandomValues = 100'000'000;
#else
constexpr std::uint64_t kRandomValues = 10'000'000;  // unoptimised and sanitizer builds
#endif

TEST(LogisticStep, SpecialValues) {
  const double inf = std::numeric_limits<double>::infinity();
  const double denormMin = std::numeric_limits<double>::denorm_min();
  const double minNormal = std::numeric_limits<double>::min();
  const double max = std::numeric_limits<double>::max();
  const std::vector<double> values = {
      0.0, -0.0, 1.0, -1.0, 0.5, 0.25, 0.75, 0.2, 0.8, 0.00001, 0.5001, 2.0, 4.0,
      std::nextafter(1.0, 0.0), std::nextafter(1.0, 2.0), std::nextafter(0.5, 0.0),
      std::nextafter(0.5, 1.0), std::ldexp(1.0, -53), std::ldexp(1.0, -54),
      std::ldexp(1.0, -55), std::nextafter(std::ldexp(1.0, -54), 1.0), denormMin, -denormMin,
      minNormal, -minNormal, std::nextafter(minNormal, 0.0), max, -max, max / 4, -max / 4,
      std::sqrt(max), -std::sqrt(max), std::sqrt(max / 4), inf, -inf,
      std::numeric_limits<double>::quiet_NaN()};
  for (const double x : values) EXPECT_TRUE(sameResult(x)) << "x = " << x;
}

// The chains live in [0, 1]: uniform values on the 2^-53 grid, and random bit patterns below
// 1.0, which spread evenly over all exponents (subnormals included).
TEST(LogisticStep, RandomValuesInUnitInterval) {
  SplitMix rng{20261211};
  std::uint64_t mismatches = 0;
  const std::uint64_t oneBits = std::bit_cast<std::uint64_t>(1.0);
  for (std::uint64_t i = 0; i < kRandomValues; i += 2) {
    const double uniform = static_cast<double>(rng.next() >> 11) * 0x1.0p-53;
    const double spread = std::bit_cast<double>(rng.next() % oneBits);
    mismatches += sameResult(uniform) ? 0 : 1;
    mismatches += sameResult(spread) ? 0 : 1;
  }
  EXPECT_EQ(mismatches, 0u);
}

// Keystream seeds can lie outside [0, 1] (negative, above 1, huge), and such chains fall
// towards minus infinity: every finite bit pattern of either sign.
TEST(LogisticStep, RandomValuesOverTheWholeRange) {
  SplitMix rng{7};
  std::uint64_t mismatches = 0;
  for (std::uint64_t i = 0; i < kRandomValues / 10; ++i)
    mismatches += sameResult(std::bit_cast<double>(rng.next())) ? 0 : 1;
  EXPECT_EQ(mismatches, 0u);
}

// Whole chains, as the ciphers run them, stay bit-identical step after step.
TEST(LogisticStep, ChainsStayIdentical) {
  for (const double start : {0.3, 0.5001, 0.1234567, 0.00001, 0.999, 1.7, -0.2}) {
    double fast = start, plain = start;
    for (int i = 0; i < 100000; ++i) {
      fast = chaosmix::logisticStep(fast);
      plain = reference::logisticStep(plain);
      if (std::isnan(plain) && std::isnan(fast)) break;
      ASSERT_EQ(std::bit_cast<std::uint64_t>(fast), std::bit_cast<std::uint64_t>(plain))
          << "start " << start << ", step " << i;
    }
  }
}

}  // namespace
}  // namespace chaosmix::reference

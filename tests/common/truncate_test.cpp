#include "common/truncate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace chaosmix {
namespace {

struct TruncateCase {
  double value;
  std::int64_t whole;
  std::int32_t low32;
  std::uint8_t octet;
};

TEST(Truncate, FollowsTheConversionRules) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::int64_t indefinite = std::numeric_limits<std::int64_t>::min();
  const TruncateCase cases[] = {
      {300.0, 300, 300, 44},
      {-1.0, -1, -1, 255},
      {3.7, 3, 3, 3},
      {-3.7, -3, -3, 253},
      {2.9, 2, 2, 2},
      {-0.5, 0, 0, 0},
      {4294967297.0, 4294967297, 1, 1},    // 2^32 + 1
      {2147483648.0, 2147483648, INT32_MIN, 0},  // 2^31
      {nan, indefinite, 0, 0},
      {inf, indefinite, 0, 0},
      {-inf, indefinite, 0, 0},
      {9223372036854775808.0, indefinite, 0, 0},  // 2^63
      {-9223372036854775808.0, indefinite, 0, 0},  // -2^63 converts to itself
      {9223372036854774784.0, 9223372036854774784, -1024, 0},  // largest double below 2^63
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(truncateToInt64(c.value), c.whole);
    EXPECT_EQ(truncateToInt32(c.value), c.low32);
    EXPECT_EQ(truncateToOctet(c.value), c.octet);
  }
}

}  // namespace
}  // namespace chaosmix

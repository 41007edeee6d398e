// The key-space figures the README's security section gives, checked on samples small enough
// for a unit test (key_space_survey measures them on millions of keys).

#include "key_space.h"

#include "cube/key_schedule.h"

#include <gtest/gtest.h>

#include <unordered_set>

namespace chaosmix::test {
namespace {

// With a degenerate index table the scramble has at most 2^14 outputs: 40,000 such keys, which
// would give about 40,000 distinct scrambled keys out of 2^64, give no more than 16,384.
TEST(KeySpace, DegenerateScrambleTablesGiveAtMostTwoToTheFourteenKeys) {
  std::mt19937_64 rng(11);
  std::unordered_set<std::uint64_t> distinct;
  int degenerate = 0;
  while (degenerate < 40000) {
    const CipherKey key = randomKey(rng);
    if (!hasDegenerateScrambleTable(key)) continue;
    ++degenerate;
    distinct.insert(packedScrambledKey(key));
  }
  EXPECT_LE(distinct.size(), 16384u);
  EXPECT_GT(distinct.size(), 8192u);
}

// The scramble keeps four bits of each octet: every scrambled octet is one of 16 values, and
// all 16 occur.
TEST(KeySpace, ScrambledOctetsTakeSixteenValues) {
  std::mt19937_64 rng(12);
  std::unordered_set<int> values;
  for (int i = 0; i < 2000; ++i)
    for (const std::uint8_t o : cube::scrambleKeyBits(randomKey(rng))) values.insert(o);
  EXPECT_EQ(values.size(), 16u);
  for (const int v : values) EXPECT_EQ(v & 0b10110100, 0) << v;
}

}  // namespace
}  // namespace chaosmix::test

#include "fold/seeded_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

namespace chaosmix::fold {
namespace {

TEST(SeededGenerator, FirstDraws) {
  const struct {
    std::int32_t seedValue;
    std::vector<std::int32_t> draws;
  } cases[] = {
      {1, {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464}},
      {-1, {35}},  // the two's complement pattern 0xFFFFFFFF
      {0, {38}},
  };
  for (const auto& c : cases) {
    SeededGenerator g;
    seed(g, c.seedValue);
    for (std::size_t i = 0; i < c.draws.size(); ++i)
      EXPECT_EQ(draw(g), c.draws[i]) << "seed " << c.seedValue << " draw " << i;
  }
}

TEST(SeededGenerator, ReseedingRestartsTheSequence) {
  SeededGenerator g;
  seed(g, 12345);
  const std::int32_t first = draw(g);
  draw(g);
  seed(g, 12345);
  EXPECT_EQ(draw(g), first);
}

TEST(SeededGenerator, DrawsStayIn15Bits) {
  SeededGenerator g;
  seed(g, -987654321);
  for (int i = 0; i < 100000; ++i) {
    const std::int32_t r = draw(g);
    ASSERT_GE(r, 0);
    ASSERT_LE(r, 32767);
  }
}

TEST(ShuffleSequence, Table) {
  const struct {
    std::int32_t seedValue, passes;
    std::vector<std::int32_t> expected;
  } cases[] = {
      {1, 1, {20, 50, 10, 30, 40}},
      {1, 2, {30, 40, 50, 10, 20}},
      {1, 0, {10, 20, 30, 40, 50}},
      {1, -3, {10, 20, 30, 40, 50}},
  };
  for (const auto& c : cases) {
    std::vector<std::int32_t> v{10, 20, 30, 40, 50};
    shuffleSequence(v, c.seedValue, c.passes);
    EXPECT_EQ(v, c.expected) << "seed " << c.seedValue << " passes " << c.passes;
  }
}

TEST(ShuffleSequence, EmptySequenceIsFine) {
  std::vector<std::int32_t> v;
  shuffleSequence(v, 7, 3);
  EXPECT_TRUE(v.empty());
}

// Beyond 65539 entries the product j * r no longer fits 32 bits; it is formed in 64 bits, so
// every exchange stays within the sequence and the result is a permutation.
TEST(ShuffleSequence, LongSequencesStayAPermutation) {
  for (const std::size_t n : {65539u, 65540u, 200000u}) {
    std::vector<std::int32_t> v(n);
    std::iota(v.begin(), v.end(), 0);
    shuffleSequence(v, 258, 3);
    EXPECT_NE(v[n - 1], static_cast<std::int32_t>(n - 1));
    std::vector<std::int32_t> sorted = v;
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t i = 0; i < n; ++i) ASSERT_EQ(sorted[i], static_cast<std::int32_t>(i));
  }
}

// The first pass of a long shuffle against the definition: k = (j * r) / 32767 with r the
// generator's draws after the one that seeds the next pass.
TEST(ShuffleSequence, LongSequenceFollowsTheDefinition) {
  const std::size_t n = 100000;
  std::vector<std::int32_t> v(n);
  std::iota(v.begin(), v.end(), 0);
  std::vector<std::int32_t> expected = v;
  SeededGenerator g;
  seed(g, 99);
  draw(g);
  for (std::size_t j = 0; j < n; ++j) {
    const std::uint64_t r = static_cast<std::uint64_t>(draw(g));
    const std::size_t k = static_cast<std::size_t>(j * r / 32767u);
    ASSERT_LE(k, j);
    std::swap(expected[j], expected[k]);
  }
  shuffleSequence(v, 99, 1);
  EXPECT_EQ(v, expected);
}

}  // namespace
}  // namespace chaosmix::fold

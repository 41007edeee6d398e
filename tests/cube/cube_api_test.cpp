#include <chaosmix/cube.h>

#include "cube/key_schedule.h"
#include "cube/permutation.h"
#include "tests/random_inputs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>

namespace chaosmix {
namespace {

using Octets = std::vector<std::uint8_t>;

using test::randomKey;
using test::randomOctets;

// Cells that no entry names, counted by sorting rather than by marking.
std::size_t unreachedBySorting(std::size_t cells, const CipherKey& key) {
  std::vector<std::uint32_t> t(cells);
  cube::buildCubePermutation(t, cube::deriveCubeMapParams(key));
  std::sort(t.begin(), t.end());
  return cells - static_cast<std::size_t>(std::unique(t.begin(), t.end()) - t.begin());
}

TEST(CubeApi, RoundTripWheneverThePermutationIsOneToOne) {
  std::mt19937 rng(2026);
  const std::size_t shapes[][2] = {{1, 1}, {1, 7}, {2, 4}, {3, 3}, {7, 13}, {101, 103},
                                   {64, 64}, {256, 256}, {300, 300}, {1, 997}, {211, 1}};
  int lossless = 0, lossy = 0;
  for (int trial = 0; trial < 60; ++trial) {
    std::size_t rows, columns;
    if (trial < static_cast<int>(std::size(shapes))) {
      rows = shapes[trial][0];
      columns = shapes[trial][1];
    } else {
      rows = 1 + rng() % 300;
      columns = 1 + rng() % 300;
    }
    const CipherKey key = randomKey(rng);
    const auto rounds = static_cast<std::int32_t>(1 + rng() % 5);
    const Octets plain = randomOctets(rng, rows * columns);
    SCOPED_TRACE(testing::Message() << rows << " x " << columns << ", " << rounds << " rounds");
    const CubePermutationReach reach = cubePermutationReach(rows * columns, key);
    EXPECT_EQ(reach.unreachedCells, unreachedBySorting(rows * columns, key));
    EXPECT_EQ(reach.oneToOne, reach.unreachedCells == 0);
    const Octets cipher = cubeEncrypt(plain, rows, columns, rounds, key);
    ASSERT_EQ(cipher.size(), plain.size());
    const Octets back = cubeDecrypt(cipher, rows, columns, rounds, key);
    if (reach.oneToOne) {
      ++lossless;
      EXPECT_EQ(back, plain);
    } else {
      ++lossy;
      EXPECT_NE(back, plain);
    }
  }
  EXPECT_GT(lossless, 20);
}

TEST(CubeApi, OnlyTheCellCountMatters) {
  std::mt19937 rng(5);
  const CipherKey key = randomKey(rng);
  const Octets plain = randomOctets(rng, 10000);
  EXPECT_EQ(cubeEncrypt(plain, 100, 100, 2, key), cubeEncrypt(plain, 50, 200, 2, key));
}

TEST(CubeApi, AllZeroKeyRoundTrips) {
  std::mt19937 rng(6);
  const Octets plain = randomOctets(rng, 37 * 41);
  const CipherKey zero{};
  EXPECT_TRUE(cubePermutationReach(plain.size(), zero).oneToOne);
  const Octets cipher = cubeEncrypt(plain, 37, 41, 3, zero);
  EXPECT_NE(cipher, plain);
  EXPECT_EQ(cubeDecrypt(cipher, 37, 41, 3, zero), plain);
}

TEST(CubeApi, NoRoundGivesTheZeroFilledWorkBuffer) {
  const Octets plain(12, 200);
  EXPECT_EQ(cubeEncrypt(plain, 3, 4, 0, CipherKey{}), Octets(12, 0));
  EXPECT_EQ(cubeDecrypt(plain, 3, 4, -7, CipherKey{}), Octets(12, 0));
}

TEST(CubeApi, ChangesNeitherTheInputNorTheKeyAndIsDeterministic) {
  std::mt19937 rng(8);
  const CipherKey key = randomKey(rng);
  const CipherKey keyCopy = key;
  const Octets plain = randomOctets(rng, 999);
  const Octets plainCopy = plain;
  const Octets a = cubeEncrypt(plain, 27, 37, 4, key);
  EXPECT_EQ(plain, plainCopy);
  EXPECT_EQ(key, keyCopy);
  EXPECT_EQ(cubeEncrypt(plain, 27, 37, 4, key), a);
}

TEST(CubeApi, RefusesBadSizes) {
  const Octets small(6);
  EXPECT_THROW(cubeEncrypt(small, 2, 4, 1, CipherKey{}), std::invalid_argument);
  EXPECT_THROW(cubeDecrypt(small, 7, 1, 1, CipherKey{}), std::invalid_argument);
  EXPECT_NO_THROW(cubeEncrypt({}, 0, 5, 1, CipherKey{}));
  const std::size_t tooLarge[][2] = {{1'000'000'000, 1}, {31623, 31623}, {1u << 16, 1u << 16},
                                     {std::size_t{1} << 32, 1}, {SIZE_MAX, 2}};
  for (const auto& s : tooLarge) {
    try {
      cubeEncrypt(small, s[0], s[1], 1, CipherKey{});
      ADD_FAILURE() << s[0] << " x " << s[1] << " was accepted";
    } catch (const std::length_error& e) {
      EXPECT_STREQ(e.what(), "Image is too large: at most 999999999 cells are supported.");
    }
  }
  EXPECT_THROW(cubePermutationReach(1'000'000'000, CipherKey{}), std::length_error);
}

}  // namespace
}  // namespace chaosmix

// The library's cube cipher equals the oracle octet for octet.

#include "oracle_cases.h"
#include "reference.h"

#include <chaosmix/cube.h>

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace chaosmix::reference {
namespace {

using testing::oracleKeys;
using testing::oracleShapes;
using testing::randomOctets;
using testing::randomRounds;

// The oracle itself reproduces the keystream vectors of the cube cipher.
TEST(CubeOracle, KeystreamVectors) {
  struct Case {
    double seed;
    std::vector<std::uint8_t> start;
  };
  const std::vector<std::uint8_t> floored = {181, 173, 77, 64, 131, 50, 42, 80,
                                             111, 75,  139, 170, 128, 79, 0, 99};
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<Case> cases = {
      {0.0, floored}, {0.5, floored}, {1.0, floored},  {2.0, floored},
      {-1.0, floored}, {inf, floored}, {nan, floored},
      {0.75, std::vector<std::uint8_t>(16, 233)},
      {0.3, {164, 57, 241, 143, 78, 51, 152, 90}}};
  for (const Case& c : cases) {
    std::vector<std::uint8_t> ks(c.start.size());
    const std::uint64_t steps = cubeKeystream(ks, c.seed);
    EXPECT_EQ(ks, c.start) << "seed " << c.seed;
    EXPECT_GE(steps, 200u + 20u * ks.size());
  }
}

void expectCubeMatches(std::size_t rows, std::size_t columns, const CipherKey& key,
                       std::int32_t rounds, std::mt19937& rng) {
  const std::vector<std::uint8_t> image = randomOctets(rng, rows * columns);
  const auto cipher = chaosmix::cubeEncrypt(image, rows, columns, rounds, key);
  ASSERT_EQ(cipher, cubeEncrypt(image, rows, columns, rounds, key))
      << "encrypt " << rows << " x " << columns << ", rounds " << rounds;
  // Decryption of the ciphertext and of arbitrary octets (also for non-bijective tables).
  ASSERT_EQ(chaosmix::cubeDecrypt(cipher, rows, columns, rounds, key),
            cubeDecrypt(cipher, rows, columns, rounds, key))
      << "decrypt " << rows << " x " << columns << ", rounds " << rounds;
  ASSERT_EQ(chaosmix::cubeDecrypt(image, rows, columns, rounds, key),
            cubeDecrypt(image, rows, columns, rounds, key))
      << "decrypt of random octets " << rows << " x " << columns << ", rounds " << rounds;
}

TEST(CubeOracle, LibraryEqualsOracleOverShapesKeysAndRounds) {
  std::mt19937 rng(20261211);
  const auto keys = oracleKeys(rng, 4);
  for (const auto& shape : oracleShapes()) {
    for (std::size_t k = 0; k < keys.size(); ++k) {
      // Every round count from -3 to 8 for the small shapes, random ones for the large.
      if (shape.rows * shape.columns <= 1024) {
        for (std::int32_t rounds = -3; rounds <= 8; ++rounds)
          expectCubeMatches(shape.rows, shape.columns, keys[k], rounds, rng);
      } else {
        expectCubeMatches(shape.rows, shape.columns, keys[k], randomRounds(rng), rng);
      }
    }
  }
}

TEST(CubeOracle, LibraryEqualsOracleOnRandomShapes) {
  std::mt19937 rng(7);
  for (std::size_t i = 0; i < testing::scaledCount(40); ++i) {
    const std::size_t rows = std::uniform_int_distribution<std::size_t>(1, 300)(rng);
    const std::size_t columns = std::uniform_int_distribution<std::size_t>(1, 300)(rng);
    expectCubeMatches(rows, columns, testing::randomKey(rng), randomRounds(rng), rng);
  }
}

// Images whose largest cube has an edge of 60 or more that is not a power of two: the tables
// lose cells, so unreached targets keep the previous round's content.
TEST(CubeOracle, LibraryEqualsOracleOnNonBijectiveTables) {
  std::mt19937 rng(11);
  int lossy = 0;
  for (std::int32_t rounds = 1; rounds <= 4; ++rounds) {
    const CipherKey key = testing::randomKey(rng);
    if (!chaosmix::cubePermutationReach(480 * 640, key).oneToOne) ++lossy;
    expectCubeMatches(480, 640, key, rounds, rng);
  }
  EXPECT_GT(lossy, 0) << "no key exercised a table that loses cells";
}

}  // namespace
}  // namespace chaosmix::reference

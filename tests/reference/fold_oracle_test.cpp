// The library's fold cipher equals the oracle octet for octet.

#include "oracle_cases.h"
#include "reference.h"

#include <chaosmix/fold.h>

#include "fold/box_shape.h"

#include <gtest/gtest.h>

#include <vector>

namespace chaosmix::reference {
namespace {

using testing::oracleKeys;
using testing::oracleShapes;
using testing::randomOctets;
using testing::randomRounds;

// The oracle's box reproduces the box-shape examples of the fold cipher.
TEST(FoldOracle, BoxShapeExamples) {
  struct Case {
    std::int32_t columns, rows, seed, passes;
    BoxShape box;
  };
  const std::vector<Case> cases = {
      {640, 480, 258, 3, {120, 80, 32}}, {640, 480, 5, 0, {80, 80, 48}},
      {300, 200, -300, 7, {100, 30, 20}}, {6, 2, 0, 1, {3, 2, 2}},
      {256, 256, 9, 4, {64, 32, 32}},    {512, 512, 1, 1, {64, 64, 64}},
      {7, 1, 3, 3, {7, 1, 1}},           {1, 1, 3, 3, {1, 1, 1}}};
  for (const Case& c : cases) {
    const BoxShape b = makeBoxShape(c.columns, c.rows, c.seed, c.passes);
    EXPECT_EQ(b.P, c.box.P) << c.columns << " x " << c.rows;
    EXPECT_EQ(b.Q, c.box.Q) << c.columns << " x " << c.rows;
    EXPECT_EQ(b.R, c.box.R) << c.columns << " x " << c.rows;
  }
}

TEST(FoldOracle, LibraryBoxEqualsOracleBox) {
  std::mt19937 rng(3);
  std::uniform_int_distribution<std::int32_t> count(1, 200000), seed(-32896, 32639),
      passes(-256, 254);
  for (int i = 0; i < 300; ++i) {
    const std::int32_t n = i < 100 ? i + 1 : count(rng);
    const std::int32_t s = seed(rng), p = passes(rng);
    const BoxShape want = makeBoxShape(n, 1, s, p);
    const fold::BoxShape got = fold::makeBoxShape(n, 1, s, p);
    ASSERT_EQ(got.P, want.P) << "n " << n << ", seed " << s << ", passes " << p;
    ASSERT_EQ(got.Q, want.Q) << "n " << n << ", seed " << s << ", passes " << p;
    ASSERT_EQ(got.R, want.R) << "n " << n << ", seed " << s << ", passes " << p;
  }
}

void expectFoldMatches(std::size_t rows, std::size_t columns, CellKind kind,
                       const CipherKey& key, std::int32_t rounds, std::mt19937& rng) {
  const std::size_t planes = kind == CellKind::gray ? 1 : 3;
  const std::vector<std::uint8_t> image = randomOctets(rng, rows * columns * planes);
  const char* kindName = kind == CellKind::gray ? "gray" : "colour";
  const auto cipher = chaosmix::foldEncrypt(image, rows, columns, kind, rounds, key);
  ASSERT_EQ(cipher, reference::foldEncrypt(image, rows, columns, kind, rounds, key))
      << "encrypt " << kindName << " " << rows << " x " << columns << ", rounds " << rounds;
  ASSERT_EQ(chaosmix::foldDecrypt(cipher, rows, columns, kind, rounds, key),
            reference::foldDecrypt(cipher, rows, columns, kind, rounds, key))
      << "decrypt " << kindName << " " << rows << " x " << columns << ", rounds " << rounds;
  ASSERT_EQ(chaosmix::foldDecrypt(image, rows, columns, kind, rounds, key),
            reference::foldDecrypt(image, rows, columns, kind, rounds, key))
      << "decrypt of random octets " << kindName << " " << rows << " x " << columns
      << ", rounds " << rounds;
}

TEST(FoldOracle, LibraryEqualsOracleOverShapesKeysAndRounds) {
  std::mt19937 rng(20261212);
  const auto keys = oracleKeys(rng, 3);
  for (const CellKind kind : {CellKind::gray, CellKind::colour}) {
    for (const auto& shape : oracleShapes()) {
      for (const CipherKey& key : keys) {
        if (shape.rows * shape.columns <= 1024) {
          for (std::int32_t rounds = -3; rounds <= 8; ++rounds)
            expectFoldMatches(shape.rows, shape.columns, kind, key, rounds, rng);
        } else {
          expectFoldMatches(shape.rows, shape.columns, kind, key, randomRounds(rng), rng);
        }
      }
    }
  }
}

TEST(FoldOracle, LibraryEqualsOracleOnRandomShapes) {
  std::mt19937 rng(5);
  for (std::size_t i = 0; i < testing::scaledCount(40); ++i) {
    const std::size_t rows = std::uniform_int_distribution<std::size_t>(1, 300)(rng);
    const std::size_t columns = std::uniform_int_distribution<std::size_t>(1, 300)(rng);
    const CellKind kind = i % 2 == 0 ? CellKind::gray : CellKind::colour;
    expectFoldMatches(rows, columns, kind, testing::randomKey(rng), randomRounds(rng), rng);
  }
}

// Keys whose octet i equals octet 15 - i expand the same round key in every round.
TEST(FoldOracle, LibraryEqualsOracleForPalindromicKeys) {
  std::mt19937 rng(9);
  for (int i = 0; i < 6; ++i) {
    CipherKey key = testing::randomKey(rng);
    for (std::size_t j = 0; j < 8; ++j) key[15 - j] = key[j];
    const CellKind kind = i % 2 == 0 ? CellKind::gray : CellKind::colour;
    expectFoldMatches(120, 90, kind, key, 1 + i, rng);
  }
}

}  // namespace
}  // namespace chaosmix::reference

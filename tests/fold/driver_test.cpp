#include "fold/driver.h"

#include "fold/box_shape.h"
#include "fold/fold_pass.h"
#include "fold/round_key.h"
#include "tests/random_inputs.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <vector>

namespace chaosmix::fold {
namespace {

using Cells = std::vector<std::int32_t>;

CipherKey reversed(CipherKey key) {
  reverseKey(key);
  return key;
}

using test::randomKey;

Cells randomCells(std::mt19937& rng, std::size_t n, CellKind kind) {
  Cells c(n);
  for (auto& v : c)
    v = static_cast<std::int32_t>(rng() % (kind == CellKind::gray ? 256u : 16777216u));
  return c;
}

// One fold pass with the round key expanded from `key`.
void manualPass(Cells& cells, const BoxShape& box, const CipherKey& key, CellKind kind,
                PassDirection direction) {
  FoldRoundKey rk;
  expandRoundKey(key, box.Q, box.P, kind, rk);
  Cells scratch(cells.size());
  foldPass(cells, box, rk, kind, direction, scratch);
}

TEST(ReverseKey, ReversesAndIsItsOwnInverse) {
  CipherKey key{};
  for (std::size_t i = 0; i < key.size(); ++i) key[i] = static_cast<std::uint8_t>(i + 1);
  CipherKey r = key;
  reverseKey(r);
  for (std::size_t i = 0; i < key.size(); ++i) EXPECT_EQ(r[i], key[15 - i]);
  reverseKey(r);
  EXPECT_EQ(r, key);
}

// Which key each round expands from: K is the key on entry, K' its reversal. Both drivers form
// the box from octets 12 to 15 of K.
TEST(FoldDriver, RoundKeyOrder) {
  const struct {
    std::int32_t rounds;
    std::vector<bool> encryptFromReversed, decryptFromReversed;
  } cases[] = {
      {1, {false}, {false}},
      {2, {false, true}, {true, false}},
      {3, {false, true, false}, {false, true, false}},
      {4, {false, true, false, true}, {true, false, true, false}},
  };
  std::mt19937 rng(4);
  const std::int32_t M = 30, N = 24;  // 720 = 2, 3, 2, 3, 2, 5, 2, 2: shuffles change the box
  for (const auto& c : cases) {
    for (const CellKind kind : {CellKind::gray, CellKind::colour}) {
      const CipherKey K = randomKey(rng);
      const CipherKey Kr = reversed(K);
      const BoxShape box = makeBoxShape(
          N, M, 256 * static_cast<std::int8_t>(K[12]) + static_cast<std::int8_t>(K[13]),
          static_cast<std::int8_t>(K[14]) + static_cast<std::int8_t>(K[15]));
      const Cells plain = randomCells(rng, M * N, kind);

      Cells expected = plain;
      for (const bool fromReversed : c.encryptFromReversed)
        manualPass(expected, box, fromReversed ? Kr : K, kind, PassDirection::encrypt);
      Cells cells = plain;
      CipherKey key = K;
      foldEncryptRounds(cells, key, M, N, kind, c.rounds);
      ASSERT_EQ(cells, expected) << c.rounds;

      Cells expectedBack = cells;
      for (const bool fromReversed : c.decryptFromReversed)
        manualPass(expectedBack, box, fromReversed ? Kr : K, kind, PassDirection::decrypt);
      key = K;
      foldDecryptRounds(cells, key, M, N, kind, c.rounds);
      ASSERT_EQ(cells, expectedBack) << c.rounds;
    }
  }
}

TEST(FoldDriver, KeyOnReturn) {
  const struct {
    bool encrypt;
    std::int32_t rounds;
    bool reversedOnReturn;
  } cases[] = {
      {true, 1, true},    {true, 3, true},    {true, 7, true},   {true, 2, false},
      {true, 4, false},   {true, 0, false},   {true, -1, false}, {true, -2, false},
      {true, -3, false},  {false, 1, false},  {false, 2, false}, {false, 3, false},
      {false, 8, false},  {false, 0, false},  {false, -1, true}, {false, -3, true},
      {false, -2, false}, {false, -4, false},
  };
  CipherKey K{};
  for (std::size_t i = 0; i < K.size(); ++i) K[i] = static_cast<std::uint8_t>(17 * i + 3);
  for (const auto& c : cases) {
    Cells cells{1, 2, 3, 4, 5, 6};
    CipherKey key = K;
    if (c.encrypt)
      foldEncryptRounds(cells, key, 2, 3, CellKind::gray, c.rounds);
    else
      foldDecryptRounds(cells, key, 2, 3, CellKind::gray, c.rounds);
    EXPECT_EQ(key, c.reversedOnReturn ? reversed(K) : K)
        << (c.encrypt ? "encrypt " : "decrypt ") << c.rounds;
  }
}

TEST(FoldDriver, NoRoundsLeaveTheCellsUnchanged) {
  std::mt19937 rng(8);
  for (const std::int32_t rounds : {0, -1, -2, -3, -2147483647 - 1}) {
    for (const bool encrypt : {true, false}) {
      const Cells plain = randomCells(rng, 60, CellKind::colour);
      Cells cells = plain;
      CipherKey key = randomKey(rng);
      if (encrypt)
        foldEncryptRounds(cells, key, 6, 10, CellKind::colour, rounds);
      else
        foldDecryptRounds(cells, key, 6, 10, CellKind::colour, rounds);
      EXPECT_EQ(cells, plain) << rounds;
    }
  }
}

// A key whose octet i equals octet 15 - i expands the same round key in every round.
TEST(FoldDriver, PalindromicKeyRepeatsItsRoundKey) {
  CipherKey key{};
  for (std::size_t i = 0; i < 8; ++i) key[i] = key[15 - i] = static_cast<std::uint8_t>(29 * i + 5);
  const std::int32_t M = 16, N = 15;
  const BoxShape box = makeBoxShape(
      N, M, 256 * static_cast<std::int8_t>(key[12]) + static_cast<std::int8_t>(key[13]),
      static_cast<std::int8_t>(key[14]) + static_cast<std::int8_t>(key[15]));
  std::mt19937 rng(6);
  const Cells plain = randomCells(rng, M * N, CellKind::gray);
  Cells expected = plain;
  for (int r = 0; r < 5; ++r)
    manualPass(expected, box, key, CellKind::gray, PassDirection::encrypt);
  Cells cells = plain;
  CipherKey k = key;
  foldEncryptRounds(cells, k, M, N, CellKind::gray, 5);
  EXPECT_EQ(cells, expected);
  EXPECT_EQ(k, key);
}

// Both directions form the box from the key on entry, although the decrypting driver reverses
// the key before its first pass when the round count is odd.
TEST(FoldDriver, BothDirectionsUseTheBoxOfTheKeyOnEntry) {
  CipherKey K{};
  for (std::size_t i = 0; i < K.size(); ++i) K[i] = static_cast<std::uint8_t>(11 * i + 1);
  const CipherKey Kr = reversed(K);
  const std::int32_t M = 48, N = 60;  // 2880 = 2, 3, 2, 3, 2, 5, 2, 2, 2, 2
  auto boxOf = [&](const CipherKey& k) {
    return makeBoxShape(N, M,
                        256 * static_cast<std::int8_t>(k[12]) + static_cast<std::int8_t>(k[13]),
                        static_cast<std::int8_t>(k[14]) + static_cast<std::int8_t>(k[15]));
  };
  ASSERT_NE(boxOf(K), boxOf(Kr));
  std::mt19937 rng(10);
  const Cells plain = randomCells(rng, M * N, CellKind::colour);
  for (const std::int32_t rounds : {1, 3}) {
    Cells cells = plain;
    CipherKey key = K;
    foldEncryptRounds(cells, key, M, N, CellKind::colour, rounds);
    Cells expected = cells;
    for (std::int32_t i = 0; i < rounds; ++i)  // K, then K', K for three rounds
      manualPass(expected, boxOf(K), i % 2 == 0 ? K : Kr, CellKind::colour,
                 PassDirection::decrypt);
    EXPECT_EQ(expected, plain) << rounds;
    key = K;
    foldDecryptRounds(cells, key, M, N, CellKind::colour, rounds);
    EXPECT_EQ(cells, expected) << rounds;
  }
}

// The box's shuffle seed and pass count come from octets 12 to 15 as signed values, with no
// lower bound on the pass count.
TEST(FoldDriver, BoxShuffleFromTheKey) {
  const struct {
    std::uint8_t o12, o13, o14, o15;
    std::int32_t seed, passes;
  } cases[] = {
      {0xFF, 0xFF, 0xFF, 0xFF, -257, -2},
      {0x80, 0x7F, 0x01, 0x02, -128 * 256 + 127, 3},
      {0x01, 0x02, 0x00, 0x03, 258, 3},
      {0x7F, 0x80, 0x7F, 0x7F, 127 * 256 - 128, 254},
  };
  const std::int32_t M = 48, N = 60;
  std::mt19937 rng(12);
  for (const auto& c : cases) {
    CipherKey K = randomKey(rng);
    K[12] = c.o12;
    K[13] = c.o13;
    K[14] = c.o14;
    K[15] = c.o15;
    const BoxShape box = makeBoxShape(N, M, c.seed, c.passes);
    const Cells plain = randomCells(rng, M * N, CellKind::gray);
    Cells expected = plain;
    manualPass(expected, box, K, CellKind::gray, PassDirection::encrypt);
    Cells cells = plain;
    CipherKey key = K;
    foldEncryptRounds(cells, key, M, N, CellKind::gray, 1);
    EXPECT_EQ(cells, expected) << c.seed << " " << c.passes;
  }
}

struct Shape {
  std::int32_t M, N;
};

// Encrypting then decrypting with the same key, extents, kind and round count gives colour
// cells back exactly and gray cells with the same low 8 bits (v or v - 256).
TEST(FoldDriver, RoundTrips) {
  const Shape shapes[] = {{1, 1},   {1, 2},   {2, 1},   {7, 1},    {1, 31},   {13, 17},
                          {64, 64}, {1, 997}, {97, 101}, {128, 256}, {300, 300}, {299, 301},
                          {60, 60}, {2, 1024}, {211, 1},  {17, 289},  {4, 9},    {3, 3}};
  std::mt19937 rng(13);
  std::uniform_int_distribution<std::int32_t> roundCount(-3, 8);
  for (const Shape& s : shapes) {
    for (const CellKind kind : {CellKind::gray, CellKind::colour}) {
      const std::size_t n = static_cast<std::size_t>(s.M) * static_cast<std::size_t>(s.N);
      const std::int32_t rounds = n > 20000 ? roundCount(rng) % 4 : roundCount(rng);
      const CipherKey K = randomKey(rng);
      const Cells plain = randomCells(rng, n, kind);
      Cells cells = plain;
      CipherKey key = K;
      foldEncryptRounds(cells, key, s.M, s.N, kind, rounds);
      if (rounds >= 1 && n > 8) {  // tiny colour images can come back unchanged
        ASSERT_NE(cells, plain) << s.M << "x" << s.N;
      }
      key = K;
      foldDecryptRounds(cells, key, s.M, s.N, kind, rounds);
      for (std::size_t k = 0; k < n; ++k) {
        if (kind == CellKind::colour)
          ASSERT_EQ(cells[k], plain[k]) << s.M << "x" << s.N << " rounds " << rounds;
        else
          ASSERT_TRUE(cells[k] == plain[k] || cells[k] == plain[k] - 256)
              << s.M << "x" << s.N << " rounds " << rounds << " cell " << k;
      }
    }
  }
}

TEST(FoldDriver, RefusesABufferThatDoesNotMatch) {
  CipherKey key{};
  key[0] = 1;
  const CipherKey before = key;
  Cells none;
  EXPECT_THROW(foldEncryptRounds(none, key, 0, 5, CellKind::gray, 1), std::invalid_argument);
  EXPECT_THROW(foldDecryptRounds(none, key, 3, 0, CellKind::gray, 1), std::invalid_argument);
  Cells six(6, 7);
  EXPECT_THROW(foldEncryptRounds(six, key, 2, 4, CellKind::gray, 1), std::invalid_argument);
  EXPECT_THROW(foldDecryptRounds(six, key, 3, 3, CellKind::gray, 1), std::invalid_argument);
  EXPECT_EQ(key, before);
  EXPECT_EQ(six, Cells(6, 7));
}

}  // namespace
}  // namespace chaosmix::fold

#include <chaosmix/fold.h>

#include "fold/cells.h"
#include "fold/driver.h"
#include "tests/random_inputs.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace chaosmix {
namespace {

using Octets = std::vector<std::uint8_t>;

using test::randomKey;
using test::randomOctets;

TEST(FoldCells, PackColour) {
  EXPECT_EQ(fold::packColour(1, 2, 3), 3 * 65536 + 2 * 256 + 1);
  EXPECT_EQ(fold::packColour(255, 255, 255), 16777215);
  EXPECT_EQ(fold::packColour(0, 0, 0), 0);
  EXPECT_EQ(fold::packColour(0, 0, 128), 128 * 65536);
}

TEST(FoldCells, UnpackCell) {
  const struct {
    std::int32_t cell;
    std::uint8_t p1, p2, p3;
  } cases[] = {
      {3 * 65536 + 2 * 256 + 1, 1, 2, 3},
      {-1, 255, 255, 255},
      {-257, 255, 254, 255},
      {-16777216, 0, 0, 0},
      {0x7F123456, 0x56, 0x34, 0x12},
      {255, 255, 0, 0},
      {-256, 0, 255, 255},
  };
  for (const auto& c : cases) {
    const fold::PlaneOctets o = fold::unpackCell(c.cell);
    EXPECT_EQ(o.p1, c.p1) << c.cell;
    EXPECT_EQ(o.p2, c.p2) << c.cell;
    EXPECT_EQ(o.p3, c.p3) << c.cell;
  }
}

// The public calls pack the octets, run the driver on a copy of the key and unpack the cells.
TEST(FoldApi, MatchesTheDriverOnPackedCells) {
  std::mt19937 rng(31);
  const std::size_t rows = 12, columns = 35, n = rows * columns;
  for (const CellKind kind : {CellKind::gray, CellKind::colour}) {
    for (const std::int32_t rounds : {1, 2, 5}) {
      const CipherKey key = randomKey(rng);
      const Octets image = randomOctets(rng, n * (kind == CellKind::gray ? 1 : 3));
      std::vector<std::int32_t> cells(n);
      for (std::size_t k = 0; k < n; ++k)
        cells[k] = kind == CellKind::gray
                       ? image[k]
                       : fold::packColour(image[k], image[n + k], image[2 * n + k]);
      CipherKey driverKey = key;
      fold::foldEncryptRounds(cells, driverKey, rows, columns, kind, rounds);
      const Octets encrypted = foldEncrypt(image, rows, columns, kind, rounds, key);
      ASSERT_EQ(encrypted.size(), image.size());
      for (std::size_t k = 0; k < n; ++k) {
        const fold::PlaneOctets o = fold::unpackCell(cells[k]);
        ASSERT_EQ(encrypted[k], o.p1);
        if (kind == CellKind::colour) {
          ASSERT_EQ(encrypted[n + k], o.p2);
          ASSERT_EQ(encrypted[2 * n + k], o.p3);
        }
      }
    }
  }
}

TEST(FoldApi, RoundTripsRestoreTheOctetsExactly) {
  const struct {
    std::size_t rows, columns;
  } shapes[] = {{1, 1}, {1, 2}, {3, 1}, {5, 7}, {1, 997}, {31, 37}, {64, 64}, {50, 200},
                {251, 241}, {300, 300}, {1, 65537}, {256, 256}};
  std::mt19937 rng(37);
  std::uniform_int_distribution<std::int32_t> roundCount(-3, 8);
  for (const auto& s : shapes) {
    for (const CellKind kind : {CellKind::gray, CellKind::colour}) {
      const std::size_t n = s.rows * s.columns;
      const std::int32_t rounds = n > 20000 ? 1 + roundCount(rng) % 3 : roundCount(rng);
      const CipherKey key = randomKey(rng);
      const Octets image = randomOctets(rng, n * (kind == CellKind::gray ? 1 : 3));
      const Octets encrypted = foldEncrypt(image, s.rows, s.columns, kind, rounds, key);
      // The colour diffusion is XOR-linear: on a few cells whose fold order is the identity,
      // an even round count can give the image back (1 x 2 with 4 rounds does), so only
      // larger images must visibly change.
      if (rounds >= 1 && n > 8) {
        EXPECT_NE(encrypted, image) << s.rows << "x" << s.columns << " rounds " << rounds;
      }
      EXPECT_EQ(foldDecrypt(encrypted, s.rows, s.columns, kind, rounds, key), image)
          << s.rows << "x" << s.columns << " rounds " << rounds;
    }
  }
}

TEST(FoldApi, NoRoundsReturnTheImage) {
  std::mt19937 rng(41);
  const Octets image = randomOctets(rng, 3 * 20);
  const CipherKey key = randomKey(rng);
  for (const std::int32_t rounds : {0, -1, -2}) {
    EXPECT_EQ(foldEncrypt(image, 4, 5, CellKind::colour, rounds, key), image);
    EXPECT_EQ(foldDecrypt(image, 4, 5, CellKind::colour, rounds, key), image);
  }
}

// A negative chain start leaves gray cells in -256..-1; only their low 8 bits reach the result.
TEST(FoldApi, NegativeDiffusionSeedsStillRoundTrip) {
  CipherKey key{};
  key[9] = 0x80;  // s9 ^ s10 ^ s11 = -128 in every round (its mirror octet 6 stays 0)
  std::mt19937 rng(43);
  const Octets gray = randomOctets(rng, 99);
  const Octets enc = foldEncrypt(gray, 9, 11, CellKind::gray, 1, key);
  EXPECT_EQ(foldDecrypt(enc, 9, 11, CellKind::gray, 1, key), gray);
}

TEST(FoldApi, RefusesImagesWithoutCells) {
  const CipherKey key{};
  const Octets none;
  const struct {
    std::size_t rows, columns;
  } cases[] = {{0, 0}, {0, 5}, {5, 0}, {0, std::numeric_limits<std::size_t>::max()}};
  for (const auto& c : cases) {
    for (const CellKind kind : {CellKind::gray, CellKind::colour}) {
      EXPECT_THROW(foldEncrypt(none, c.rows, c.columns, kind, 1, key), std::invalid_argument);
      EXPECT_THROW(foldDecrypt(none, c.rows, c.columns, kind, 1, key), std::invalid_argument);
    }
  }
}

TEST(FoldApi, RefusesTooLargeImagesBeforeAllocating) {
  const CipherKey key{};
  const Octets none;
  const struct {
    std::size_t rows, columns;
  } cases[] = {
      {65536, 32768},  // 2^31
      {1, kFoldMaxCells + 1},
      {kFoldMaxCells + 1, 1},
      {std::numeric_limits<std::size_t>::max(), 2},
      {std::numeric_limits<std::size_t>::max(), std::numeric_limits<std::size_t>::max()},
  };
  for (const auto& c : cases) {
    for (const bool encrypt : {true, false}) {
      try {
        if (encrypt)
          foldEncrypt(none, c.rows, c.columns, CellKind::gray, 1, key);
        else
          foldDecrypt(none, c.rows, c.columns, CellKind::colour, 1, key);
        ADD_FAILURE() << "no exception for " << c.rows << " x " << c.columns;
      } catch (const std::length_error& e) {
        EXPECT_EQ(std::string(e.what()), kFoldTooLargeMessage);
      }
    }
  }
}

TEST(FoldApi, RefusesAMismatchedImageSize) {
  const CipherKey key{};
  const Octets six(6, 1);
  EXPECT_THROW(foldEncrypt(six, 2, 2, CellKind::gray, 1, key), std::invalid_argument);
  EXPECT_THROW(foldEncrypt(six, 2, 3, CellKind::colour, 1, key), std::invalid_argument);
  EXPECT_THROW(foldDecrypt(six, 1, 3, CellKind::gray, 1, key), std::invalid_argument);
  EXPECT_NO_THROW(foldEncrypt(six, 1, 2, CellKind::colour, 1, key));
  EXPECT_NO_THROW(foldEncrypt(six, 2, 3, CellKind::gray, 1, key));
}

}  // namespace
}  // namespace chaosmix

#include "fold/box_shape.h"
#include "fold/factorise.h"
#include "fold/seeded_generator.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <vector>

namespace chaosmix::fold {
namespace {

FactorList factorsOf(std::int32_t n) {
  FactorList list;
  const std::int32_t count = factorise(n, list);
  EXPECT_EQ(count, static_cast<std::int32_t>(list.size()));
  return list;
}

// The factorisation by trial division with every odd d up to n, for comparison.
FactorList factorsByFullSearch(std::int32_t n) {
  FactorList list;
  while (n != 1) {
    if (n % 2 == 0) {
      list.push_back(2);
      n /= 2;
    }
    for (std::int32_t d = 3; n >= 3 && d <= n; d += 2) {
      if (n % d == 0) {
        list.push_back(d);
        n /= d;
        break;
      }
    }
  }
  return list;
}

TEST(Factorise, OrderOfDiscovery) {
  const FactorList sixteenTwos(16, 2);
  const struct {
    std::int32_t n;
    FactorList factors;
  } cases[] = {
      {1, {}},
      {2, {2}},
      {12, {2, 3, 2}},
      {60, {2, 3, 2, 5}},
      {90, {2, 3, 3, 5}},
      {360, {2, 3, 2, 3, 2, 5}},
      {1000, {2, 5, 2, 5, 2, 5}},
      {65536, sixteenTwos},
      {640 * 480, {2, 3, 2, 5, 2, 5, 2, 2, 2, 2, 2, 2, 2, 2, 2}},
      {999999937, {999999937}},         // a large prime
      {2147483647, {2147483647}},       // the largest count, a prime
      {2 * 1073741789, {2, 1073741789}},  // even, with a large odd prime cofactor
      {46337 * 46337, {46337, 46337}},  // the square of a prime
  };
  for (const auto& c : cases) EXPECT_EQ(factorsOf(c.n), c.factors) << c.n;
}

TEST(Factorise, AppendsToWhatTheListHolds) {
  FactorList list{7};
  EXPECT_EQ(factorise(12, list), 4);
  EXPECT_EQ(list, (FactorList{7, 2, 3, 2}));
}

TEST(Factorise, SameOrderAsTheFullSearch) {
  for (std::int32_t n = 1; n <= 20000; ++n) ASSERT_EQ(factorsOf(n), factorsByFullSearch(n)) << n;
  std::mt19937 rng(3);
  std::uniform_int_distribution<std::int32_t> count(20001, 3000000);
  for (int i = 0; i < 200; ++i) {
    const std::int32_t n = count(rng);
    ASSERT_EQ(factorsOf(n), factorsByFullSearch(n)) << n;
  }
}

TEST(Factorise, RefusesCountsBelowOne) {
  FactorList list;
  EXPECT_THROW(factorise(0, list), std::invalid_argument);
  EXPECT_THROW(factorise(-12, list), std::invalid_argument);
  EXPECT_TRUE(list.empty());
}

TEST(MakeBoxShape, Table) {
  const struct {
    std::int32_t columns, rows, shuffleSeed, shufflePasses;
    BoxShape box;
  } cases[] = {
      {640, 480, 258, 3, {120, 80, 32}},
      {640, 480, 0, 0, {80, 80, 48}},
      {640, 480, 12345, -7, {80, 80, 48}},
      {300, 200, -300, 7, {100, 30, 20}},
      {6, 2, 0, 1, {3, 2, 2}},
      {256, 256, 0, 0, {64, 32, 32}},
      {256, 256, -300, 7, {64, 32, 32}},
      {256, 256, 258, 254, {64, 32, 32}},
      {512, 512, 17, 9, {64, 64, 64}},
      {7, 1, 3, 3, {7, 1, 1}},
      {1, 7, -5, 11, {7, 1, 1}},
      {1, 1, 1, 5, {1, 1, 1}},
      {1, 999999937, 258, 3, {999999937, 1, 1}},
      {1, 2147483647, 0, 1, {2147483647, 1, 1}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(makeBoxShape(c.columns, c.rows, c.shuffleSeed, c.shufflePasses), c.box)
        << c.columns << " x " << c.rows << ", seed " << c.shuffleSeed << ", passes "
        << c.shufflePasses;
  }
}

// The shuffled factor sequences of the table: dealing them onto P, Q, R and exchanging gives
// the boxes above.
TEST(MakeBoxShape, ShuffledFactorsOfTheExamples) {
  const struct {
    std::int32_t n, shuffleSeed, shufflePasses;
    FactorList shuffled;
  } cases[] = {
      {640 * 480, 258, 3, {2, 2, 2, 2, 2, 2, 2, 2, 5, 2, 2, 2, 2, 5, 3}},
      {300 * 200, -300, 7, {5, 2, 2, 5, 2, 5, 2, 5, 3, 2}},
      {12, 0, 1, {2, 2, 3}},
  };
  for (const auto& c : cases) {
    FactorList factors;
    factorise(c.n, factors);
    shuffleSequence(factors, c.shuffleSeed, c.shufflePasses);
    EXPECT_EQ(factors, c.shuffled) << c.n;
  }
}

TEST(MakeBoxShape, PrimeCountsGiveALineWhateverTheShuffle) {
  for (const std::int32_t p : {2, 3, 31, 997, 65537}) {
    for (const std::int32_t passes : {-1, 0, 1, 5, 254}) {
      EXPECT_EQ(makeBoxShape(p, 1, 4711, passes), (BoxShape{p, 1, 1})) << p;
      EXPECT_EQ(makeBoxShape(1, p, -4711, passes), (BoxShape{p, 1, 1})) << p;
    }
  }
}

TEST(MakeBoxShape, TwoFactorsGiveAFlatBox) {
  // 15 = 3 * 5: the shuffle decides the order, R stays 1.
  for (const std::int32_t seedValue : {0, 1, 2, 3, 4, 5}) {
    const BoxShape box = makeBoxShape(15, 1, seedValue, 1);
    EXPECT_EQ(box.R, 1);
    EXPECT_EQ(box.P * box.Q, 15);
  }
}

TEST(MakeBoxShape, InvariantsOverManyCounts) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<std::int32_t> extent(1, 400), seedValue(-32896, 32639),
      passes(-256, 254);
  for (int i = 0; i < 2000; ++i) {
    const std::int32_t columns = extent(rng), rows = extent(rng);
    const BoxShape box = makeBoxShape(columns, rows, seedValue(rng), passes(rng));
    ASSERT_GE(box.R, 1);
    ASSERT_LE(box.R, box.P);
    ASSERT_LE(box.R, box.Q);
    ASSERT_EQ(static_cast<std::int64_t>(box.P) * box.Q * box.R,
              static_cast<std::int64_t>(columns) * rows);
  }
}

TEST(MakeBoxShape, RefusesAnEmptyImage) {
  EXPECT_THROW(makeBoxShape(0, 480, 1, 1), std::invalid_argument);
  EXPECT_THROW(makeBoxShape(640, 0, 1, 1), std::invalid_argument);
}

}  // namespace
}  // namespace chaosmix::fold

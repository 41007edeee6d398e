#include "fold/round_key.h"

#include "common/logistic.h"
#include "fold/logistic_chain.h"
#include "fold/seeded_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <numeric>
#include <random>
#include <vector>

namespace chaosmix::fold {
namespace {

using Stripes = std::vector<std::int32_t>;

Stripes stripes(double x, std::int32_t extent) {
  Stripes s;
  drawStripes(x, extent, s);
  return s;
}

Stripes shuffled(Stripes s, std::int32_t seedValue, std::int32_t passes) {
  shuffleSequence(s, seedValue, passes);
  return s;
}

double warmedUp(double x, int steps) {
  for (int i = 0; i < steps; ++i) x = logisticStep(x);
  return x;
}

FoldRoundKey expand(const CipherKey& key, std::int32_t Q, std::int32_t P, CellKind kind) {
  FoldRoundKey roundKey;
  expandRoundKey(key, Q, P, kind, roundKey);
  return roundKey;
}

// A chain start one step before exactly 0.8, and the double below it (one step before the
// double below 0.8); one step before exactly 0.2.
const double kStepsTo08 = std::bit_cast<double>(0x3FD1B06D1D200914ull);
const double kStepsBelow08 = std::bit_cast<double>(0x3FD1B06D1D200913ull);
const double kStepsTo02 = std::bit_cast<double>(0x3FAB06D1D2009136ull);

TEST(LogisticChain, ConstantsAreTheExactDoubles) {
  EXPECT_EQ(std::bit_cast<std::uint64_t>(kWindowLow), 0x3FC999999999999Aull);
  EXPECT_EQ(std::bit_cast<std::uint64_t>(kWindowHigh), 0x3FE999999999999Aull);
  EXPECT_EQ(std::bit_cast<std::uint64_t>(kChainRestart), 0x3FE000D1B71758E2ull);
  EXPECT_EQ(logisticStep(kStepsTo08), 0.8);
  EXPECT_EQ(logisticStep(kStepsBelow08), std::nextafter(0.8, 0.0));
  EXPECT_EQ(logisticStep(kStepsTo02), 0.2);
}

TEST(GuardSeed, Table) {
  const struct {
    double in, out;
  } cases[] = {
      {0.0, kChainRestart},  {-0.0, kChainRestart}, {-0.25, kChainRestart},
      {1.0, kChainRestart},  {1.5, kChainRestart},  {0.5, kChainRestart},
      {0.25, 0.25},          {std::nextafter(0.5, 1.0), std::nextafter(0.5, 1.0)},
      {0.999, 0.999},        {5.9604644775390625e-08, 5.9604644775390625e-08},
      {std::numeric_limits<double>::quiet_NaN(), kChainRestart},
  };
  for (const auto& c : cases) EXPECT_EQ(guardSeed(c.in), c.out) << c.in;
}

TEST(KeySeed, Table) {
  const struct {
    std::int8_t a, b, c;
    double x;
  } cases[] = {
      {0, 0, 0, 0.0},
      {0, 0, 1, 5.9604644775390625e-08},
      {0x40, 0, 0, 0.25},
      {-1, -1, -1, -65793.0 / 16777216.0},  // (-256 - 1) * 256 - 1
      {-128, 0, 0, -0.5},
      {127, 127, 127, (127.0 * 65536 + 127 * 256 + 127) / 16777216.0},
      {-128, -128, -128, -(128.0 * 65536 + 128 * 256 + 128) / 16777216.0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(keySeed(c.a, c.b, c.c), c.x) << int{c.a} << " " << int{c.b} << " " << int{c.c};
}

// The worked example: the chain from 0.5001 first accepts the values of draws 13, 17 and 18.
TEST(DrawStripes, WorkedExample) {
  const struct {
    std::int32_t extent;
    Stripes expected;
  } cases[] = {
      {40, {16, 2, 21, 1}},
      {24, {13, 1, 9, 1}},
  };
  for (const auto& c : cases) EXPECT_EQ(stripes(kChainRestart, c.extent), c.expected) << c.extent;
  EXPECT_EQ(shuffled({16, 2, 21, 1}, 0, 5), (Stripes{21, 2, 16, 1}));
}

TEST(DrawStripes, SmallExtents) {
  const struct {
    double x;
    std::int32_t extent;
    Stripes expected;
  } cases[] = {
      {kChainRestart, 1, {1}},
      {0.3, 1, {1}},
      {kStepsTo08, 1, {1}},  // the one accepted draw gives width 1 itself
      {kChainRestart, 2, {1, 1}},
      {0.3, 2, {1, 1}},
      {kStepsTo08, 2, {2}},  // only exactly 0.8 gives width 2
      {kStepsBelow08, 2, {1, 1}},
      {kChainRestart, 0, {}},  // one draw, nothing left to cut
  };
  for (const auto& c : cases)
    EXPECT_EQ(stripes(c.x, c.extent), c.expected) << c.x << " extent " << c.extent;
}

// 0.2 itself is accepted; near it the width is 0 and the draw is spent.
TEST(DrawStripes, WidthZeroIsSpentNotAppended) {
  double chain = kStepsTo02;
  EXPECT_EQ(drawInWindow(chain), 0.2);
  EXPECT_EQ(stripes(kStepsTo02, 40), stripes(0.2, 40));
}

TEST(DrawStripes, WidthsAreOneToThirtyAndSumToTheExtent) {
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> start(0.0, 1.0);
  for (std::int32_t extent = 1; extent <= 700; extent += (extent < 80 ? 1 : 37)) {
    for (int i = 0; i < 10; ++i) {
      const Stripes s = stripes(start(rng), extent);
      ASSERT_FALSE(s.empty());
      ASSERT_LE(s.size(), static_cast<std::size_t>(extent));
      for (const std::int32_t w : s) {
        ASSERT_GE(w, 1);
        ASSERT_LE(w, 30);
      }
      ASSERT_EQ(std::accumulate(s.begin(), s.end(), 0), extent);
    }
  }
}

// A chain that reaches exactly 1 would fall to 0 and never draw again: it restarts from 0.5001
// instead, the zero being spent.
TEST(DrawStripes, AChainOnOneRestartsFrom05001) {
  const double nearHalf[] = {0.5, std::nextafter(0.5, 1.0),
                             std::nextafter(std::nextafter(0.5, 1.0), 1.0), 0.5 + 1e-9};
  for (const double x : nearHalf) {
    ASSERT_EQ(logisticStep(x), 1.0) << x;
    for (const std::int32_t extent : {1, 2, 24, 40, 300})
      EXPECT_EQ(stripes(x, extent), stripes(kChainRestart, extent)) << x << " " << extent;
  }
  for (const double x : {0.0, 1.0})
    EXPECT_EQ(stripes(x, 40), stripes(kChainRestart, 40)) << x;
}

// The same in the middle of a list: a start whose first draw lands within ulps of 0.5 (and is
// accepted) and whose second is exactly 1.
TEST(DrawStripes, AChainReachingOneMidListRestarts) {
  const double start = (1.0 - std::sqrt(0.5)) / 2.0;
  const double nearHalf = logisticStep(start);
  ASSERT_NE(nearHalf, 0.5);
  ASSERT_EQ(logisticStep(nearHalf), 1.0);
  const auto first = static_cast<std::int32_t>(((nearHalf - 0.2) * 30) * 1.6666666666666667);
  ASSERT_EQ(first, 14);
  Stripes expected = stripes(kChainRestart, 40 - first);
  expected.insert(expected.begin(), first);
  EXPECT_EQ(stripes(start, 40), expected);
}

CipherKey keyWith(std::initializer_list<std::pair<std::size_t, std::uint8_t>> octets) {
  CipherKey key{};
  for (const auto& [i, v] : octets) key[i] = v;
  return key;
}

// Octet 0 in 128..206 (negative start, no warm-up) starts the first chain at 0.5001; octets 12
// to 15 of 0 give the shuffle seed 0 and the pass count 0, raised to 5.
TEST(ExpandRoundKey, WorkedExample) {
  for (const std::uint8_t o0 : {128, 150, 206}) {
    const CipherKey key = keyWith({{0, o0}, {3, 0x80}});
    const FoldRoundKey rk = expand(key, 40, 24, CellKind::gray);
    EXPECT_EQ(rk.qStripes, (Stripes{21, 2, 16, 1})) << int{o0};
    EXPECT_EQ(rk.pStripes, shuffled({13, 1, 9, 1}, 0, 5)) << int{o0};
  }
}

// Chain starts: octets (a, a+1, a+2), the start value they give and the signed octet a, which
// sets the warm-up: s + 50 steps for the first two chains, s + 100 for the third, none when 0
// or below.
TEST(ExpandRoundKey, ChainStartsAndWarmUps) {
  const struct {
    std::uint8_t o0, o1, o2;
    double start;
    int s;
  } cases[] = {
      {0, 0, 0, kChainRestart, 0},
      {0xFF, 0x12, 0x34, kChainRestart, -1},  // negative start: 49 and 99 steps
      {0x9C, 0, 0, kChainRestart, -100},     // no warm-up at all
      {0xCE, 0, 0, kChainRestart, -50},      // first two chains: no warm-up
      {0xCF, 0, 0, kChainRestart, -49},
      {0x40, 0, 0, 0.25, 64},
      {0x00, 0x00, 0x01, 5.9604644775390625e-08, 0},
      {0x7F, 0x7F, 0x7F, (127.0 * 65536 + 127 * 256 + 127) / 16777216.0, 127},
  };
  for (const auto& c : cases) {
    const int stripeWarmUp = std::max(c.s + 50, 0), seedWarmUp = std::max(c.s + 100, 0);
    // The same three octets feed all three chains.
    const CipherKey key = keyWith({{0, c.o0}, {1, c.o1}, {2, c.o2}, {3, c.o0}, {4, c.o1},
                                   {5, c.o2}, {6, c.o0}, {7, c.o1}, {8, c.o2}});
    const FoldRoundKey rk = expand(key, 37, 53, CellKind::gray);
    const double stripeStart = warmedUp(c.start, stripeWarmUp);
    EXPECT_EQ(rk.qStripes, shuffled(stripes(stripeStart, 37), 0, 5)) << int{c.o0};
    EXPECT_EQ(rk.pStripes, shuffled(stripes(stripeStart, 53), 0, 5)) << int{c.o0};
    EXPECT_EQ(rk.logisticSeed, warmedUp(c.start, seedWarmUp)) << int{c.o0};
  }
}

// Octet 6 of 128 to 156 (-128..-100): negative start, no warm-up, so the seed is 0.5001.
TEST(ExpandRoundKey, NegativeThirdChainGivesTheRestartValue) {
  for (int o6 = 128; o6 <= 156; ++o6) {
    const CipherKey key = keyWith({{6, static_cast<std::uint8_t>(o6)}, {7, 0x55}, {8, 0x66}});
    EXPECT_EQ(expand(key, 1, 1, CellKind::colour).logisticSeed, kChainRestart) << o6;
  }
  const CipherKey key = keyWith({{6, 157}});  // -99: one warm-up step
  EXPECT_EQ(expand(key, 1, 1, CellKind::gray).logisticSeed, logisticStep(kChainRestart));
}

TEST(ExpandRoundKey, DiffusionSeed) {
  const struct {
    std::uint8_t o9, o10, o11;
    CellKind kind;
    std::int32_t seed;
  } cases[] = {
      {1, 2, 4, CellKind::gray, 7},
      {0x80, 0, 0, CellKind::gray, -128},
      {0xF0, 0x0F, 0x00, CellKind::gray, -1},
      {0xFF, 0x0F, 0x00, CellKind::gray, -16},
      {0x7F, 0x00, 0x00, CellKind::gray, 127},
      {0x81, 0x01, 0x01, CellKind::gray, -127},
      {1, 0x80, 0, CellKind::colour, 32768},
      {1, 2, 3, CellKind::colour, 65536 + 512 + 3},
      {0x80, 0x80, 0x80, CellKind::colour, -(128 * 65536 + 128 * 256 + 128)},
      {0x7F, 0x7F, 0x7F, CellKind::colour, 127 * 65536 + 127 * 256 + 127},
      {0xFF, 0xFF, 0xFF, CellKind::colour, -65536 - 256 - 1},
      {0, 0, 0xFF, CellKind::colour, -1},
  };
  for (const auto& c : cases) {
    const CipherKey key = keyWith({{9, c.o9}, {10, c.o10}, {11, c.o11}});
    EXPECT_EQ(expand(key, 3, 5, c.kind).diffusionSeed, c.seed)
        << int{c.o9} << " " << int{c.o10} << " " << int{c.o11};
  }
}

// Octets 12 to 15: shuffle seed s12 * 256 + s13, pass count s14 + s15 raised to at least 5,
// the same for both lists. The first two chains start at 0.5001 without warm-up, so the lists
// before shuffling are 16, 2, 21, 1 (Q = 40) and 13, 1, 9, 1 (P = 24).
TEST(ExpandRoundKey, StripeShuffle) {
  const struct {
    std::uint8_t o12, o13, o14, o15;
    std::int32_t seed, passes;
  } cases[] = {
      {0, 0, 0, 0, 0, 5},
      {0, 0, 2, 2, 0, 5},
      {0, 0, 0xFF, 0xFF, 0, 5},
      {0, 0, 3, 3, 0, 6},
      {0, 0, 127, 127, 0, 254},
      {0x80, 0x7F, 0, 5, -128 * 256 + 127, 5},
      {0xFF, 0xFF, 0x10, 0x01, -257, 17},
      {0x01, 0x02, 0x80, 0x7F, 258, 5},
      {0x12, 0x34, 0x05, 0x04, 0x1234, 9},
  };
  for (const auto& c : cases) {
    const CipherKey key = keyWith(
        {{0, 0x80}, {3, 0x80}, {12, c.o12}, {13, c.o13}, {14, c.o14}, {15, c.o15}});
    const FoldRoundKey rk = expand(key, 40, 24, CellKind::gray);
    EXPECT_EQ(rk.qStripes, shuffled({16, 2, 21, 1}, c.seed, c.passes)) << c.seed << " " << c.passes;
    EXPECT_EQ(rk.pStripes, shuffled({13, 1, 9, 1}, c.seed, c.passes)) << c.seed << " " << c.passes;
  }
}

TEST(ExpandRoundKey, ReusesStripeStorageAndOverwritesEverything) {
  FoldRoundKey rk;
  rk.qStripes.reserve(300);
  rk.pStripes.reserve(200);
  const auto* q = rk.qStripes.data();
  const auto* p = rk.pStripes.data();
  std::mt19937 rng(9);
  for (int i = 0; i < 50; ++i) {
    CipherKey key{};
    for (auto& o : key) o = static_cast<std::uint8_t>(rng());
    expandRoundKey(key, 300, 200, CellKind::gray, rk);
    EXPECT_EQ(rk.qStripes.data(), q);
    EXPECT_EQ(rk.pStripes.data(), p);
    EXPECT_EQ(std::accumulate(rk.qStripes.begin(), rk.qStripes.end(), 0), 300);
    EXPECT_EQ(std::accumulate(rk.pStripes.begin(), rk.pStripes.end(), 0), 200);
    const FoldRoundKey fresh = expand(key, 300, 200, CellKind::gray);
    EXPECT_EQ(rk.qStripes, fresh.qStripes);
    EXPECT_EQ(rk.pStripes, fresh.pStripes);
  }
}

}  // namespace
}  // namespace chaosmix::fold

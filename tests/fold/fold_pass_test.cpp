#include "fold/fold_pass.h"

#include "common/logistic.h"
#include "fold/logistic_chain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

namespace chaosmix::fold {
namespace {

using Cells = std::vector<std::int32_t>;

Cells foldOrder(const BoxShape& box, const Cells& q, const Cells& p) {
  Cells order;
  forEachFoldPosition(box, q, p, [&](std::size_t w, std::size_t cell) {
    EXPECT_EQ(w, order.size());
    order.push_back(static_cast<std::int32_t>(cell));
  });
  return order;
}

Cells identity(std::size_t n) {
  Cells c(n);
  std::iota(c.begin(), c.end(), 0);
  return c;
}

Cells pass(Cells cells, const BoxShape& box, const FoldRoundKey& rk, CellKind kind,
           PassDirection direction) {
  Cells scratch(cells.size(), 0x5A5A5A5A);
  foldPass(cells, box, rk, kind, direction, scratch);
  return cells;
}

Cells keystream(double seedValue, CellKind kind, std::size_t count) {
  PassKeystream ks(seedValue, kind);
  Cells t(count);
  for (auto& v : t) v = ks.next();
  return t;
}

// Random stripe widths 1..30 that sum to the extent.
Cells randomStripes(std::mt19937& rng, std::int32_t extent) {
  Cells s;
  while (extent > 0) {
    const std::int32_t w =
        std::uniform_int_distribution<std::int32_t>(1, std::min(extent, 30))(rng);
    s.push_back(w);
    extent -= w;
  }
  return s;
}

TEST(FoldOrder, WorkedExample) {
  EXPECT_EQ(foldOrder({4, 3, 2}, {2, 1}, {1, 3}),
            (Cells{0, 4, 12, 16, 1, 2, 3, 5, 6, 7, 13, 14, 15, 17, 18, 19, 8, 20, 9, 10, 11, 21,
                   22, 23}));
}

TEST(FoldOrder, IdentityCases) {
  const struct {
    BoxShape box;
    Cells q, p;
  } cases[] = {
      {{4, 3, 2}, {3}, {4}},              // one stripe per list
      {{30, 20, 7}, {20}, {30}},
      {{7, 1, 1}, {1}, {3, 1, 2, 1}},     // a prime count: R = 1, q-stripes of width 1
      {{12, 5, 1}, {1, 1, 1, 1, 1}, {5, 7}},
      {{1, 1, 1}, {1}, {1}},
  };
  for (const auto& c : cases) {
    const std::size_t n = static_cast<std::size_t>(c.box.P * c.box.Q * c.box.R);
    EXPECT_EQ(foldOrder(c.box, c.q, c.p), identity(n))
        << c.box.P << "x" << c.box.Q << "x" << c.box.R;
  }
}

// Every position names a distinct cell, by the closed form
// w = Gi*P*R + qi*Hj*R + z*qi*pj + (v - Gi)*pj + (u - Hj).
TEST(FoldOrder, IsABijectionMatchingTheClosedForm) {
  std::mt19937 rng(21);
  std::uniform_int_distribution<std::int32_t> extent(1, 70), layers(1, 5);
  for (int i = 0; i < 200; ++i) {
    const BoxShape box{extent(rng), extent(rng), layers(rng)};
    const Cells q = randomStripes(rng, box.Q), p = randomStripes(rng, box.P);
    const Cells order = foldOrder(box, q, p);
    const std::size_t n = static_cast<std::size_t>(box.P * box.Q * box.R);
    ASSERT_EQ(order.size(), n);
    Cells expected(n, -1);
    std::int32_t G = 0;
    for (const std::int32_t qi : q) {
      std::int32_t H = 0;
      for (const std::int32_t pj : p) {
        for (std::int32_t z = 0; z < box.R; ++z)
          for (std::int32_t v = G; v < G + qi; ++v)
            for (std::int32_t u = H; u < H + pj; ++u) {
              const std::int32_t w = G * box.P * box.R + qi * H * box.R + z * qi * pj +
                                     (v - G) * pj + (u - H);
              expected[static_cast<std::size_t>(w)] = u + box.P * v + box.P * box.Q * z;
            }
        H += pj;
      }
      G += qi;
    }
    ASSERT_EQ(order, expected);
    Cells sorted = order;
    std::sort(sorted.begin(), sorted.end());
    ASSERT_EQ(sorted, identity(n));
  }
}

TEST(PassKeystream, FirstValuesFrom05001) {
  EXPECT_EQ(keystream(kChainRestart, CellKind::gray, 4), (Cells{141, 27, 246, 207}));
  // The colour values of the same chain values: truncate((x - 0.2) * 27962025).
  double x = kChainRestart;
  Cells colour;
  for (int i = 0; i < 3; ++i)
    colour.push_back(static_cast<std::int32_t>((drawInWindow(x) - 0.2) * 27962025.0));
  EXPECT_EQ(keystream(kChainRestart, CellKind::colour, 3), colour);
}

TEST(PassKeystream, InvalidSeedsAreReplacedBy05001) {
  const Cells expected = keystream(kChainRestart, CellKind::gray, 20);
  for (const double seedValue : {0.5, 0.0, -0.3, 1.0, 1.7, std::nan("")})
    EXPECT_EQ(keystream(seedValue, CellKind::gray, 20), expected) << seedValue;
}

TEST(PassKeystream, WindowEnds) {
  const double to08 = std::bit_cast<double>(0x3FD1B06D1D200914ull);
  const double below08 = std::bit_cast<double>(0x3FD1B06D1D200913ull);
  const double to02 = std::bit_cast<double>(0x3FAB06D1D2009136ull);
  ASSERT_EQ(logisticStep(to08), 0.8);
  ASSERT_EQ(logisticStep(to02), 0.2);
  const struct {
    double seedValue;
    CellKind kind;
    std::int32_t first;
  } cases[] = {
      {to08, CellKind::gray, 255},     {to08, CellKind::colour, 16777215},
      {below08, CellKind::gray, 254},  {below08, CellKind::colour, 16777214},
      {to02, CellKind::gray, 0},       {to02, CellKind::colour, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(keystream(c.seedValue, c.kind, 1)[0], c.first) << c.first;
}

// A keystream chain that reaches exactly 1 restarts from 0.5001 instead of hanging at 0.
TEST(PassKeystream, AChainOnOneRestartsFrom05001) {
  const Cells fromRestart = keystream(kChainRestart, CellKind::gray, 50);
  for (const double seedValue : {std::nextafter(0.5, 1.0), 0.5 + 3e-9}) {
    ASSERT_EQ(logisticStep(seedValue), 1.0);
    EXPECT_EQ(keystream(seedValue, CellKind::gray, 50), fromRestart) << seedValue;
  }
  // Mid-stream: the first accepted value lies within ulps of 0.5, the next step gives 1.
  const double start = (1.0 - std::sqrt(0.5)) / 2.0;
  ASSERT_EQ(logisticStep(logisticStep(start)), 1.0);
  Cells expected{127};
  expected.insert(expected.end(), fromRestart.begin(), fromRestart.begin() + 49);
  EXPECT_EQ(keystream(start, CellKind::gray, 50), expected);
}

FoldRoundKey lineKey(std::int32_t P, double logisticSeed, std::int32_t diffusionSeed) {
  FoldRoundKey rk;
  rk.qStripes = {1};
  rk.pStripes = {P};
  rk.logisticSeed = logisticSeed;
  rk.diffusionSeed = diffusionSeed;
  return rk;
}

TEST(FoldPass, DiffusionExample) {
  const BoxShape box{3, 1, 1};
  const struct {
    std::int32_t diffusionSeed;
    Cells encrypted;
  } cases[] = {
      {0, {26, 46, 204}},
      {-128, {-102, -82, -180}},
  };
  for (const auto& c : cases) {
    const FoldRoundKey rk = lineKey(3, kChainRestart, c.diffusionSeed);
    const Cells enc = pass({10, 20, 30}, box, rk, CellKind::gray, PassDirection::encrypt);
    EXPECT_EQ(enc, c.encrypted) << c.diffusionSeed;
    EXPECT_EQ(pass(enc, box, rk, CellKind::gray, PassDirection::decrypt), (Cells{10, 20, 30}));
  }
}

// The pass keystream restarting mid-image: keystream 127, 141, 27, 246.
TEST(FoldPass, ChainOnOneInThePass) {
  const BoxShape box{4, 1, 1};
  const FoldRoundKey rk = lineKey(4, (1.0 - std::sqrt(0.5)) / 2.0, 0);
  const Cells enc = pass({10, 20, 30, 40}, box, rk, CellKind::gray, PassDirection::encrypt);
  EXPECT_EQ(enc, (Cells{246, 218, 248, 16}));
  EXPECT_EQ(pass(enc, box, rk, CellKind::gray, PassDirection::decrypt), (Cells{10, 20, 30, 40}));
}

TEST(FoldPass, SingleCell) {
  const BoxShape box{1, 1, 1};
  // gray: ((s + t) rem 256) XOR t XOR b with t = 141.
  EXPECT_EQ(pass({10}, box, lineKey(1, kChainRestart, 5), CellKind::gray, PassDirection::encrypt),
            (Cells{((10 + 141) % 256) ^ 141 ^ 5}));
  // colour: t XOR s XOR b.
  const std::int32_t t = keystream(kChainRestart, CellKind::colour, 1)[0];
  EXPECT_EQ(pass({0x123456}, box, lineKey(1, kChainRestart, -7), CellKind::colour,
                 PassDirection::encrypt),
            (Cells{t ^ 0x123456 ^ -7}));
}

// Encrypting output cell w holds the diffused value of the cell listed at fold position w:
// with the same keystream and chain, the pass equals the diffusion of the reordered cells.
TEST(FoldPass, ReordersInFoldOrderThenDiffuses) {
  const BoxShape box{4, 3, 2};
  FoldRoundKey rk;
  rk.qStripes = {2, 1};
  rk.pStripes = {1, 3};
  rk.logisticSeed = 0.3;
  rk.diffusionSeed = 9;
  std::mt19937 rng(2);
  for (const CellKind kind : {CellKind::gray, CellKind::colour}) {
    Cells cells(24);
    for (auto& c : cells)
      c = static_cast<std::int32_t>(rng() % (kind == CellKind::gray ? 256 : 16777216));
    const Cells order = foldOrder(box, rk.qStripes, rk.pStripes);
    Cells reordered(24);
    for (std::size_t w = 0; w < 24; ++w) reordered[w] = cells[static_cast<std::size_t>(order[w])];
    FoldRoundKey line = rk;
    line.qStripes = {3};
    line.pStripes = {4};
    EXPECT_EQ(pass(cells, box, rk, kind, PassDirection::encrypt),
              pass(reordered, box, line, kind, PassDirection::encrypt));
  }
}

TEST(FoldPass, RoundTrips) {
  std::mt19937 rng(17);
  std::uniform_int_distribution<std::int32_t> extent(1, 40), layers(1, 4), seed9(-128, 127);
  std::uniform_real_distribution<double> x(0.0, 1.0);
  for (int i = 0; i < 200; ++i) {
    const BoxShape box{extent(rng), extent(rng), layers(rng)};
    FoldRoundKey rk;
    rk.qStripes = randomStripes(rng, box.Q);
    rk.pStripes = randomStripes(rng, box.P);
    rk.logisticSeed = x(rng);
    const CellKind kind = i % 2 == 0 ? CellKind::gray : CellKind::colour;
    rk.diffusionSeed =
        kind == CellKind::gray ? seed9(rng) : seed9(rng) * 65536 + seed9(rng) * 256 + seed9(rng);
    Cells cells(static_cast<std::size_t>(box.P * box.Q * box.R));
    for (auto& c : cells)
      c = static_cast<std::int32_t>(rng() % (kind == CellKind::gray ? 256 : 16777216));
    const Cells enc = pass(cells, box, rk, kind, PassDirection::encrypt);
    if (kind == CellKind::gray) {
      // A non-negative chain start keeps outputs in 0..255, a negative one in -256..-1.
      for (const std::int32_t y : enc) {
        if (rk.diffusionSeed >= 0) {
          ASSERT_GE(y, 0);
          ASSERT_LE(y, 255);
        } else {
          ASSERT_GE(y, -256);
          ASSERT_LE(y, -1);
        }
      }
    }
    ASSERT_EQ(pass(enc, box, rk, kind, PassDirection::decrypt), cells) << i;
  }
}

// Colour cells come back exactly whatever their top byte; the diffusion XORs the top bytes.
TEST(FoldPass, ColourKeepsAnyCellExactly) {
  const BoxShape box{5, 2, 1};
  FoldRoundKey rk = lineKey(5, 0.41, -8421504);
  rk.qStripes = {1, 1};
  Cells cells{-1, 0, 2147483647, -2147483647 - 1, 16777215, -257, 1, 2, 3, 0x7F000000};
  const Cells enc = pass(cells, box, rk, CellKind::colour, PassDirection::encrypt);
  EXPECT_EQ(pass(enc, box, rk, CellKind::colour, PassDirection::decrypt), cells);
  // With inputs below 2^24 and a negative chain start, every output's top byte is 0xFF.
  const Cells small{1, 2, 3, 4, 5, 6, 7, 8, 9, 16777215};
  for (const std::int32_t y : pass(small, box, rk, CellKind::colour, PassDirection::encrypt))
    EXPECT_EQ(static_cast<std::uint32_t>(y) >> 24, 0xFFu);
}

// Gray cells of -256..-1 (left by a pass with a negative chain start) decrypt to value + 256.
TEST(FoldPass, GrayNegativeCellsKeepTheirLowBits) {
  const BoxShape box{6, 1, 1};
  const FoldRoundKey rk = lineKey(6, 0.77, 3);
  const Cells cells{-256, -255, -129, -1, 0, 255};
  const Cells enc = pass(cells, box, rk, CellKind::gray, PassDirection::encrypt);
  EXPECT_EQ(pass(enc, box, rk, CellKind::gray, PassDirection::decrypt),
            (Cells{0, 1, 127, 255, 0, 255}));
}

}  // namespace
}  // namespace chaosmix::fold

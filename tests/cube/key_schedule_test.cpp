#include "cube/key_schedule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>

namespace chaosmix::cube {
namespace {

TEST(ScrambleIndexTable, RowsFollowTheColumnAndRowSteps) {
  const auto m = scrambleIndexTable(8, 73);
  const std::uint8_t firstRow[] = {0, 89, 57, 25, 114, 82, 50, 18, 107, 75, 43};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(m[i], firstRow[i]) << "column " << i;
  EXPECT_EQ(m[11], 77);
  EXPECT_EQ(m[12], 45);
  EXPECT_EQ(m[13], 13);
  // A permutation of 0..120 when st is not a multiple of 11.
  EXPECT_EQ(std::set<int>(m.begin(), m.end()).size(), 121u);
}

TEST(ScrambleIndexTable, RowStepMultipleOfElevenRepeatsOneRow) {
  // e = 1, o = 10: st = 11, so every row is 0, 12, 24, ..., 120.
  const auto m = scrambleIndexTable(1, 1 * 10 + 1);
  for (int r = 0; r < 11; ++r)
    for (int i = 0; i < 11; ++i) EXPECT_EQ(m[11 * r + i], 12 * i) << "row " << r;
}

TEST(ScrambleKeyBits, AllZeroKeyScramblesToZero) {
  const ScrambledKey s = scrambleKeyBits(CipherKey{});
  for (auto octet : s) EXPECT_EQ(octet, 0);
}

TEST(ScrambleKeyBits, OutputOctetsTakeOnlySixteenValues) {
  const std::set<int> allowed = {0, 1, 2, 3, 8, 9, 10, 11, 64, 65, 66, 67, 72, 73, 74, 75};
  std::mt19937 rng(12345);
  std::set<int> seen;
  for (int trial = 0; trial < 2000; ++trial) {
    CipherKey key;
    for (auto& o : key) o = static_cast<std::uint8_t>(rng());
    for (auto octet : scrambleKeyBits(key)) {
      EXPECT_TRUE(allowed.count(octet)) << int(octet);
      seen.insert(octet);
    }
  }
  EXPECT_EQ(seen, allowed);  // and all of them occur
}

TEST(ScrambleKeyBits, DependsOnEveryKeyOctet) {
  CipherKey base{};
  for (int i = 0; i < 16; ++i) base[i] = static_cast<std::uint8_t>(17 * i + 3);
  const ScrambledKey reference = scrambleKeyBits(base);
  for (int i = 0; i < 16; ++i) {
    CipherKey changed = base;
    changed[i] ^= 0x10;
    EXPECT_NE(scrambleKeyBits(changed), reference) << "octet " << i;
  }
}

TEST(KeyReals, AreReciprocalsOfOctetPairs) {
  EXPECT_EQ(pairReal(0, 1), 1.0);
  EXPECT_EQ(pairReal(1, 0), 1.0 / 256);
  EXPECT_EQ(pairReal(75, 75), 1.0 / (256 * 75 + 75));
  EXPECT_TRUE(std::isinf(pairReal(0, 0)));
  ScrambledKey s{};
  s[2] = 2;
  s[3] = 3;
  const KeyReals r = keyReals(s);
  EXPECT_TRUE(std::isinf(r[0]));
  EXPECT_EQ(r[1], 1.0 / (256 * 2 + 3));
}

TEST(SampleFlow, FirstStepFromUnitRealsMovesXYDownAndZUp) {
  // sampleFlow(1, 1) runs with c = 28.4 from the state (40, 40, 60).
  const FlowConstants k{.c = (1.0 * 8.4) + 20};
  EXPECT_DOUBLE_EQ(k.c, 28.4);
  const FlowState start{(1.0 * 80) - 40, (1.0 * 80) - 40, 1.0 * 60};
  EXPECT_EQ(start.x, 40);
  EXPECT_EQ(start.y, 40);
  EXPECT_EQ(start.z, 60);
  const FlowState next = integrateFlow(start, k, 1);
  EXPECT_LT(next.x, 40);
  EXPECT_LT(next.y, 40);
  EXPECT_GT(next.z, 60);
  // Integration is a pure function of the start state: 99 + 100 steps equal 199 steps.
  const FlowSamples s = sampleFlow(1, 1);
  EXPECT_EQ(s.early, integrateFlow(start, k, 99).z);
  EXPECT_EQ(s.late, integrateFlow(start, k, 199).z);
}

TEST(DeriveCubeMapParams, AllZeroKeyGivesNaNRealsAndZeroSeed) {
  const CubeMapParams p = deriveCubeMapParams(CipherKey{});
  for (double v : {p.ax, p.bx, p.ay, p.by, p.az, p.bz, p.logisticSeed})
    EXPECT_TRUE(std::isnan(v));
  EXPECT_EQ(p.diffusionSeed, 0);
}

TEST(DeriveCubeMapParams, FiniteKeyRealsGiveSamplesInTheirRanges) {
  std::mt19937 rng(777);
  int checked = 0;
  for (int trial = 0; trial < 300; ++trial) {
    CipherKey key;
    for (auto& o : key) o = static_cast<std::uint8_t>(rng());
    const KeyReals r = keyReals(scrambleKeyBits(key));
    bool finite = true;
    for (double v : r) {
      if (std::isinf(v)) {
        finite = false;
        continue;
      }
      EXPECT_GE(v, 1.0 / (256 * 75 + 75));
      EXPECT_LE(v, 1.0);
    }
    if (!finite) continue;
    ++checked;
    const CubeMapParams p = deriveCubeMapParams(key);
    for (double early : {p.ax, p.ay, p.az}) {
      EXPECT_GT(early, 6.5);
      EXPECT_LT(early, 171.0);
    }
    for (double late : {p.bx, p.by, p.bz}) {
      EXPECT_GT(late, 15.5);
      EXPECT_LT(late, 200.0);
    }
    EXPECT_GT(p.logisticSeed, 0.11);
    EXPECT_LT(p.logisticSeed, 2.9);
  }
  EXPECT_GT(checked, 200);
}

TEST(DeriveCubeMapParams, OneZeroPairSpoilsOnlyItsOwnFlow) {
  // Search for keys whose scrambled octets hold exactly one zero pair.
  std::mt19937 rng(4242);
  int found = 0;
  for (int trial = 0; trial < 20000 && found < 8; ++trial) {
    CipherKey key;
    for (auto& o : key) o = static_cast<std::uint8_t>(rng());
    const KeyReals r = keyReals(scrambleKeyBits(key));
    int infinite = 0, which = -1;
    for (int i = 0; i < 8; ++i)
      if (std::isinf(r[i])) ++infinite, which = i;
    if (infinite != 1) continue;
    ++found;
    const CubeMapParams p = deriveCubeMapParams(key);
    const int flow = which / 2;
    const double early[] = {p.ax, p.ay, p.az, p.logisticSeed};
    const double late[] = {p.bx, p.by, p.bz};
    for (int f = 0; f < 4; ++f) {
      EXPECT_EQ(std::isnan(early[f]), f == flow) << "flow " << f;
      if (f < 3) {
        EXPECT_EQ(std::isnan(late[f]), f == flow) << "flow " << f;
      }
    }
    if (flow == 3) {
      EXPECT_EQ(p.diffusionSeed, 0);
    }
  }
  EXPECT_GT(found, 0);
}

}  // namespace
}  // namespace chaosmix::cube

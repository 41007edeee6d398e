#include "cube/permutation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <vector>

namespace chaosmix::cube {
namespace {

CubeMapParams allReals(double v) {
  CubeMapParams p;
  p.ax = p.bx = p.ay = p.by = p.az = p.bz = v;
  return p;
}

std::vector<std::uint32_t> table(std::uint32_t cells, const CubeMapParams& p) {
  std::vector<std::uint32_t> t(cells);
  buildCubePermutation(t, p);
  return t;
}

TEST(CubeRoot, Table) {
  const struct {
    std::int32_t n;
    std::uint32_t root;
  } cases[] = {{0, 0},       {7, 1},   {8, 2},   {26, 2},          {27, 3},
               {999'999'999, 999},   {1'000'000'000, 0},           {-1, 0},
               {std::numeric_limits<std::int32_t>::min(), 0},      {63, 3},
               {64, 4},      {262143, 63}, {262144, 64}, {2147483647, 0}};
  for (const auto& c : cases) EXPECT_EQ(cubeRoot(c.n), c.root) << c.n;
}

TEST(CubeRoot, MatchesTheDefinitionNearEveryCube) {
  for (std::int32_t i = 1; i < 1000; ++i) {
    const std::int32_t c = i * i * i;
    EXPECT_EQ(cubeRoot(c), static_cast<std::uint32_t>(i));
    EXPECT_EQ(cubeRoot(c - 1), static_cast<std::uint32_t>(i - 1));
  }
}

TEST(CubeEdges, Decompositions) {
  const struct {
    std::uint32_t cells;
    std::vector<std::uint32_t> edges;
  } cases[] = {
      {0, {}},        {7, {}},          {8, {2}},
      {9, {2}},       {35, {3, 2}},     {4096, {16}},
      {65536, {40, 11, 5, 4, 2, 2}},    {10000, {21, 9, 2}},
      {262144, {64}},
  };
  for (const auto& c : cases) EXPECT_EQ(cubeEdges(c.cells), c.edges) << c.cells;
}

TEST(BuildCubePermutation, FewerThanEightCellsGiveTheIdentity) {
  for (std::uint32_t n = 0; n < 8; ++n) {
    std::vector<std::uint32_t> identity(n);
    std::iota(identity.begin(), identity.end(), 0u);
    EXPECT_EQ(table(n, allReals(45)), identity);
  }
}

TEST(BuildCubePermutation, AllRealsFortyFiveOnEightCells) {
  const CubeIntegerParams k = cubeIntegerParams(2, allReals(45));
  for (std::uint32_t v : {k.Ax, k.Bx, k.Ay, k.By, k.Az, k.Bz}) EXPECT_EQ(v, 1u);
  const CubeMapMatrix m = cubeMapMatrix(k);
  EXPECT_EQ((std::vector<std::uint32_t>{m.xx, m.xy, m.xz}), (std::vector<std::uint32_t>{2, 1, 3}));
  EXPECT_EQ((std::vector<std::uint32_t>{m.yx, m.yy, m.yz}), (std::vector<std::uint32_t>{3, 2, 5}));
  EXPECT_EQ((std::vector<std::uint32_t>{m.zx, m.zy, m.zz}), (std::vector<std::uint32_t>{2, 1, 4}));
  EXPECT_EQ(table(8, allReals(45)), (std::vector<std::uint32_t>{0, 2, 5, 7, 3, 1, 6, 4}));
  EXPECT_EQ(table(12, allReals(45)),
            (std::vector<std::uint32_t>{0, 2, 5, 7, 3, 1, 6, 4, 8, 9, 10, 11}));
}

TEST(BuildCubePermutation, ExampleTables) {
  const struct {
    const char* name;
    double real;
    std::uint32_t cells;
    std::vector<std::uint32_t> table;
  } cases[] = {
      {"27 cells, reals 45", 45, 27,
       {0, 12, 24, 26, 2, 14, 13, 25, 1, 10, 22, 7, 6, 9, 21, 23, 8, 11, 20, 5, 17, 16, 19, 4, 3,
        15, 18}},
      {"35 cells, reals 45", 45, 35,
       {0,  12, 24, 26, 2,  14, 13, 25, 1,  10, 22, 7,  6,  9,  21, 23, 8,  11,
        20, 5,  17, 16, 19, 4,  3,  15, 18, 27, 29, 32, 34, 30, 28, 33, 31}},
      {"27 cells, reals 38.5", 38.5, 27,
       {0, 20, 10, 16, 6, 26, 23, 13, 3, 15, 8, 25, 22, 12, 5, 2, 19, 9, 21, 14, 4, 1, 18, 11, 17,
        7, 24}},
  };
  for (const auto& c : cases) EXPECT_EQ(table(c.cells, allReals(c.real)), c.table) << c.name;
  EXPECT_EQ(cubeIntegerParams(3, allReals(45)).Ax, 2u);
  EXPECT_EQ(cubeIntegerParams(3, allReals(38.5)).Ax, 1u);
}

TEST(BuildCubePermutation, DeterminantTwoLosesCells) {
  CubeMapParams p = allReals(45);
  p.bx = p.bz = 75;
  const CubeIntegerParams k = cubeIntegerParams(2, p);
  EXPECT_EQ((std::vector<std::uint32_t>{k.Ax, k.Bx, k.Ay, k.By, k.Az, k.Bz}),
            (std::vector<std::uint32_t>{1, 2, 1, 1, 1, 2}));
  const auto t = table(8, p);
  EXPECT_EQ(t, (std::vector<std::uint32_t>{0, 6, 3, 5, 3, 5, 0, 6}));
  EXPECT_EQ(countUnreached(t), 4u);  // cells 1, 2, 4 and 7
}

TEST(BuildCubePermutation, ZeroOrNaNRealsGiveTheIdentity) {
  for (double v : {0.0, std::numeric_limits<double>::quiet_NaN(),
                   std::numeric_limits<double>::infinity()}) {
    const auto t = table(1000, allReals(v));
    for (std::uint32_t s = 0; s < t.size(); ++s) ASSERT_EQ(t[s], s) << v;
  }
}

TEST(BuildCubePermutation, ReachOfLargeCubesUnderTheTypicalReal) {
  const CubeMapParams p = allReals(38.5);
  // 60^3: parameters all 38, determinant 1, but the running values wrap: 14/15 reached.
  EXPECT_EQ(cubeIntegerParams(60, p).Ax, 38u);
  const auto t60 = table(60 * 60 * 60, p);
  EXPECT_EQ(countUnreached(t60), 60u * 60 * 60 / 15);
  // 64^3: a power of two, where the wrap does no harm: a bijection.
  EXPECT_EQ(cubeIntegerParams(64, p).Ax, 41u);
  EXPECT_EQ(countUnreached(table(64 * 64 * 64, p)), 0u);
  // 67^3: about 83% reached.
  EXPECT_EQ(cubeIntegerParams(67, p).Ax, 42u);
  const auto t67 = table(67 * 67 * 67, p);
  const double reached = 1.0 - double(countUnreached(t67)) / double(t67.size());
  EXPECT_NEAR(reached, 0.83, 0.01);
}

TEST(BuildCubePermutation, EachCubeMapsIntoItselfAndEntriesStayBelowN) {
  const CubeMapParams p = allReals(38.5);
  for (std::uint32_t n : {9u, 35u, 100u, 10000u, 65536u, 99991u}) {
    const auto t = table(n, p);
    std::uint32_t offset = 0;
    for (std::uint32_t N : cubeEdges(n)) {
      for (std::uint32_t s = offset; s < offset + N * N * N; ++s) {
        ASSERT_GE(t[s], offset);
        ASSERT_LT(t[s], offset + N * N * N);
      }
      offset += N * N * N;
    }
    for (std::uint32_t s = offset; s < n; ++s) ASSERT_EQ(t[s], s);
  }
}

// The incremental evaluation must agree with the direct one, also where values wrap.
TEST(BuildCubePermutation, IncrementalEqualsDirectEvaluation) {
  CubeMapParams p;
  p.ax = 38.5, p.bx = 170.25, p.ay = 7.75, p.by = 199.0, p.az = 91.125, p.bz = 16.5;
  for (std::uint32_t N : {2u, 3u, 17u, 67u}) {
    const auto t = table(N * N * N, p);
    const CubeMapMatrix m = cubeMapMatrix(cubeIntegerParams(N, p));
    for (std::uint32_t z = 0; z < N; ++z)
      for (std::uint32_t y = 0; y < N; ++y)
        for (std::uint32_t x = 0; x < N; ++x) {
          const std::uint32_t xp = m.xx * x + m.xy * y + m.xz * z;
          const std::uint32_t yp = m.yx * x + m.yy * y + m.yz * z;
          const std::uint32_t zp = m.zx * x + m.zy * y + m.zz * z;
          ASSERT_EQ(t[N * N * z + N * y + x], N * N * (zp % N) + N * (yp % N) + xp % N);
        }
  }
}

}  // namespace
}  // namespace chaosmix::cube

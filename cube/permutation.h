#pragma once
// The cube permutation: the cells, taken as one sequence, cut into consecutive cubes, each
// scrambled by a three-dimensional cat map.

#include "cube/key_schedule.h"

#include <cstdint>
#include <span>
#include <vector>

namespace chaosmix::cube {

// The i in 0..999 with i^3 <= n < (i + 1)^3, or 0 when there is none (n < 0 or n >= 1000^3).
std::uint32_t cubeRoot(std::int32_t n);

// The six integer parameters of a cube of edge N.
struct CubeIntegerParams {
  std::uint32_t Ax, Bx, Ay, By, Az, Bz;
};
CubeIntegerParams cubeIntegerParams(std::uint32_t edge, const CubeMapParams& p);

// The cat map's coefficients modulo 2^32: x' = xx*x + xy*y + xz*z, and likewise for y', z'.
struct CubeMapMatrix {
  std::uint32_t xx, xy, xz;
  std::uint32_t yx, yy, yz;
  std::uint32_t zx, zy, zz;
};
CubeMapMatrix cubeMapMatrix(const CubeIntegerParams& k);

// The edges of the consecutive cubes that a run of `cells` cells is cut into, largest first;
// the fewer than 8 cells left over stay in place.
std::vector<std::uint32_t> cubeEdges(std::uint32_t cells);

// Fills table[s] with the target cell of source cell s, for s < table.size().
// table.size() must be below 1000^3.
void buildCubePermutation(std::span<std::uint32_t> table, const CubeMapParams& p);

// The scatter turned into a gather: source[t] = the last source cell s (highest s) whose target
// is t, or kCubeUnreached when no source cell has the target t. Built straight from the cubes,
// without the permutation table. source.size() must be below 1000^3.
inline constexpr std::uint32_t kCubeUnreached = 0xFFFFFFFFu;
void buildCubeGather(std::span<std::uint32_t> source, const CubeMapParams& p);

// The number of cells 0..table.size()-1 that no entry of the table names.
std::size_t countUnreached(std::span<const std::uint32_t> table);

}  // namespace chaosmix::cube

#pragma once
// The cube permutation: the cells, taken as one sequence, cut into consecutive cubes, each
// scrambled by a three-dimensional cat map.

#include "cube/key_schedule.h"

#include <cstdint>
#include <span>

namespace chaosmix::cube {

// The i in 0..999 with i^3 <= n < (i + 1)^3, or 0 when there is none (n < 0 or n >= 1000^3).
std::uint32_t cubeRoot(std::int32_t n);

// The six integer parameters of a cube of edge N.
struct CubeIntegerParams {
  std::uint32_t Ax, Bx, Ay, By, Az, Bz;
};
CubeIntegerParams cubeIntegerParams(std::uint32_t edge, const CubeMapParams& p);

// Fills table[s] with the target cell of source cell s, for s < table.size().
// table.size() must be below 1000^3.
void buildCubePermutation(std::span<std::uint32_t> table, const CubeMapParams& p);

// The number of cells 0..table.size()-1 that no entry of the table names.
std::size_t countUnreached(std::span<const std::uint32_t> table);

}  // namespace chaosmix::cube

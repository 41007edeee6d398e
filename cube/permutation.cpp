#include "cube/permutation.h"

#include "common/truncate.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace chaosmix::cube {

std::uint32_t cubeRoot(std::int32_t n) {
  if (n < 0 || n >= 1'000'000'000) return 0;
  auto i = static_cast<std::int32_t>(std::cbrt(static_cast<double>(n)));
  while (i > 0 && i * i * i > n) --i;
  while ((i + 1) * (i + 1) * (i + 1) <= n) ++i;
  return static_cast<std::uint32_t>(i);
}

namespace {

std::uint32_t integerParam(std::uint32_t edge, double real) {
  constexpr double kOneSixtieth = 0.016666666666666666;  // multiplied, not divided by 60
  return static_cast<std::uint32_t>(
      truncateToInt64((static_cast<double>(edge) * real) * kOneSixtieth));
}

// The unsigned remainder by a fixed divisor without a division (Lemire's "fastmod"): with
// M = floor((2^64 - 1) / N) + 1, a mod N = ((M * a mod 2^64) * N) >> 64, exact for every 32-bit
// a and N.
class FastRemainder {
 public:
  explicit FastRemainder(std::uint32_t divisor)
      : m_(~std::uint64_t{0} / divisor + 1), divisor_(divisor) {}
  std::uint32_t operator()(std::uint32_t a) const {
    const std::uint64_t low = m_ * a;
    return static_cast<std::uint32_t>((static_cast<unsigned __int128>(low) * divisor_) >> 64);
  }

 private:
  std::uint64_t m_;
  std::uint32_t divisor_;
};

// Maps one cube of edge N whose first cell is `offset`, calling emit(source, target) for every
// source cell in increasing order. All coefficient and coordinate arithmetic wraps modulo 2^32;
// the target uses the unsigned remainders by N. The running values start at each row's x = 0
// and advance by the x coefficients, so the entries equal those of the direct evaluation.
template <typename Emit>
void mapCube(std::uint32_t offset, std::uint32_t N, const CubeMapMatrix& m, Emit emit) {
  const std::uint32_t N2 = N * N;
  const FastRemainder mod(N);
  std::uint32_t source = offset;
  for (std::uint32_t z = 0; z < N; ++z) {
    for (std::uint32_t y = 0; y < N; ++y) {
      std::uint32_t xr = m.xy * y + m.xz * z;
      std::uint32_t yr = m.yy * y + m.yz * z;
      std::uint32_t zr = m.zy * y + m.zz * z;
      for (std::uint32_t x = 0; x < N; ++x) {
        emit(source++, offset + N2 * mod(zr) + N * mod(yr) + mod(xr));
        xr += m.xx;
        yr += m.yx;
        zr += m.zx;
      }
    }
  }
}

// Runs emit(source, target) over all cells in increasing source order: the cubes, then the
// fewer than 8 cells left over, each its own target.
template <typename Emit>
void forEachTarget(std::uint32_t total, const CubeMapParams& p, Emit emit) {
  std::uint32_t offset = 0;
  for (const std::uint32_t N : cubeEdges(total)) {
    mapCube(offset, N, cubeMapMatrix(cubeIntegerParams(N, p)), emit);
    offset += N * N * N;
  }
  for (std::uint32_t s = offset; s < total; ++s) emit(s, s);
}

}  // namespace

CubeIntegerParams cubeIntegerParams(std::uint32_t edge, const CubeMapParams& p) {
  return {integerParam(edge, p.ax), integerParam(edge, p.bx), integerParam(edge, p.ay),
          integerParam(edge, p.by), integerParam(edge, p.az), integerParam(edge, p.bz)};
}

CubeMapMatrix cubeMapMatrix(const CubeIntegerParams& k) {
  const std::uint32_t Ax = k.Ax, Bx = k.Bx, Ay = k.Ay, By = k.By, Az = k.Az, Bz = k.Bz;
  return {
      1 + Ax * By * Az, Az, Ay + Ax * Az + Ax * Ay * By * Az,
      Bz + Ax * By + Ax * By * Az * Bz, 1 + Az * Bz,
      Ax + Ay * Az + Ax * Ay * By + Ax * Az * Bz + Ax * Ay * By * Az * Bz,
      By + Ax * Bx * By, Bx, 1 + Ax * Bx + Ay * By + Ax * Ay * Bx * By,
  };
}

std::vector<std::uint32_t> cubeEdges(std::uint32_t cells) {
  std::vector<std::uint32_t> edges;
  std::uint32_t remaining = cells;
  while (remaining >= 8) {
    const std::uint32_t N = cubeRoot(static_cast<std::int32_t>(remaining));
    edges.push_back(N);
    remaining -= N * N * N;
  }
  return edges;
}

void buildCubePermutation(std::span<std::uint32_t> table, const CubeMapParams& p) {
  std::uint32_t* out = table.data();
  forEachTarget(static_cast<std::uint32_t>(table.size()), p,
                [out](std::uint32_t s, std::uint32_t t) { out[s] = t; });
}

void buildCubeGather(std::span<std::uint32_t> source, const CubeMapParams& p) {
  std::fill(source.begin(), source.end(), kCubeUnreached);
  std::uint32_t* out = source.data();
  forEachTarget(static_cast<std::uint32_t>(source.size()), p,
                [out](std::uint32_t s, std::uint32_t t) { out[t] = s; });
}

std::size_t countUnreached(std::span<const std::uint32_t> table) {
  std::vector<bool> reached(table.size(), false);
  for (const std::uint32_t t : table) reached[t] = true;
  std::size_t unreached = 0;
  for (const bool r : reached) unreached += r ? 0 : 1;
  return unreached;
}

}  // namespace chaosmix::cube

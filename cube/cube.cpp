// The public entry points of the cube cipher.

#include <chaosmix/cube.h>

#include "cube/key_schedule.h"
#include "cube/permutation.h"
#include "cube/rounds.h"

#include <stdexcept>

namespace chaosmix {

namespace {

// Checks the extents before anything is allocated and returns the cell count.
std::size_t checkedCellCount(std::size_t rows, std::size_t columns) {
  if (rows != 0 && columns > kCubeMaxCells / rows) throw std::length_error(kCubeTooLargeMessage);
  return rows * columns;
}

enum class Direction { encrypt, decrypt };

std::vector<std::uint8_t> runCube(Direction direction, std::span<const std::uint8_t> image,
                                  std::size_t rows, std::size_t columns, std::int32_t rounds,
                                  const CipherKey& key) {
  const std::size_t n = checkedCellCount(rows, columns);
  if (image.size() != n)
    throw std::invalid_argument("cube cipher: the image must hold rows x columns octets");
  const cube::CubeMapParams params = cube::deriveCubeMapParams(key);
  std::vector<std::uint8_t> pixels(image.begin(), image.end());
  std::vector<std::uint8_t> work(n, 0);  // zero-filled: the content of unreached cells
  if (direction == Direction::encrypt)
    cube::cubeEncryptRounds(params, pixels, work, rounds);
  else
    cube::cubeDecryptRounds(params, pixels, work, rounds);
  return work;
}

}  // namespace

std::vector<std::uint8_t> cubeEncrypt(std::span<const std::uint8_t> image, std::size_t rows,
                                      std::size_t columns, std::int32_t rounds,
                                      const CipherKey& key) {
  return runCube(Direction::encrypt, image, rows, columns, rounds, key);
}

std::vector<std::uint8_t> cubeDecrypt(std::span<const std::uint8_t> image, std::size_t rows,
                                      std::size_t columns, std::int32_t rounds,
                                      const CipherKey& key) {
  return runCube(Direction::decrypt, image, rows, columns, rounds, key);
}

CubePermutationReach cubePermutationReach(std::size_t cells, const CipherKey& key) {
  if (cells > kCubeMaxCells) throw std::length_error(kCubeTooLargeMessage);
  std::vector<std::uint32_t> table(cells);
  cube::buildCubePermutation(table, cube::deriveCubeMapParams(key));
  const std::size_t unreached = cube::countUnreached(table);
  return {unreached == 0, unreached};
}

}  // namespace chaosmix

#pragma once
// The cube-permutation cipher for gray images.
//
// Images are column-major octets (cell = row + rows * column), as a MATLAB-compatible host
// stores them. The calls are reentrant: any number of threads may use them at once.

#include <chaosmix/key.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace chaosmix {

// The permutation is built from cubes of edge at most 999, so the cell count must stay below
// 1000^3. Larger images are refused with std::length_error carrying kCubeTooLargeMessage.
inline constexpr std::size_t kCubeMaxCells = 999'999'999;
inline constexpr const char* kCubeTooLargeMessage =
    "Image is too large: at most 999999999 cells are supported.";

// Encrypts a gray image of rows x columns octets with the given round count and key.
// A round count of 0 or below runs no round and returns zero octets.
// Throws std::invalid_argument when image.size() != rows * columns, std::length_error when the
// image is too large, std::bad_alloc when memory runs out.
std::vector<std::uint8_t> cubeEncrypt(std::span<const std::uint8_t> image, std::size_t rows,
                                      std::size_t columns, std::int32_t rounds,
                                      const CipherKey& key);

// The matching decryption; restores the image whenever the permutation is one-to-one.
std::vector<std::uint8_t> cubeDecrypt(std::span<const std::uint8_t> image, std::size_t rows,
                                      std::size_t columns, std::int32_t rounds,
                                      const CipherKey& key);

// Whether the cube permutation for this cell count and key is one-to-one. When it is not,
// decryption cannot restore the image. Computed on demand, O(cells).
struct CubePermutationReach {
  bool oneToOne = true;
  std::size_t unreachedCells = 0;  // cells that no source cell reaches
};
CubePermutationReach cubePermutationReach(std::size_t cells, const CipherKey& key);

}  // namespace chaosmix

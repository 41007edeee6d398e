#pragma once
// The fold-permutation cipher for gray and colour images.
//
// Images are column-major octets (cell = row + rows * column), plane after plane for colour
// images (planes 1, 2, 3 = red, green, blue), as a MATLAB-compatible host stores them. The calls
// are reentrant: any number of threads may use them at once, and they never change the key.

#include <chaosmix/key.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace chaosmix {

enum class CellKind { gray, colour };

inline constexpr std::size_t kFoldMaxCells = 2'147'483'647;
inline constexpr const char* kFoldTooLargeMessage =
    "Image is too large: at most 2147483647 cells are supported.";

// Encrypts an image of rows x columns cells: rows * columns octets for a gray image,
// 3 * rows * columns for a colour one. A round count of 0 or below returns the image unchanged.
// Throws std::invalid_argument when the size does not match or the image has no cells,
// std::length_error (kFoldTooLargeMessage) when rows * columns exceeds kFoldMaxCells,
// std::bad_alloc when memory runs out.
std::vector<std::uint8_t> foldEncrypt(std::span<const std::uint8_t> image, std::size_t rows,
                                      std::size_t columns, CellKind kind, std::int32_t rounds,
                                      const CipherKey& key);

// The matching decryption: always restores the image's octets exactly.
std::vector<std::uint8_t> foldDecrypt(std::span<const std::uint8_t> image, std::size_t rows,
                                      std::size_t columns, CellKind kind, std::int32_t rounds,
                                      const CipherKey& key);

}  // namespace chaosmix

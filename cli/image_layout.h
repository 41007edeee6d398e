#pragma once
// Conversions between the file formats' sample order (rows top to bottom, samples of a pixel
// side by side) and the host layout of Image (column-major, plane after plane).

#include "cli/image_io.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace chaosmix::cli {

// Throws ImageError unless the image has 1 or 3 planes, at least one cell, and octets that
// match its extents.
void checkWritable(const Image& image);

// The image's samples in file order.
std::vector<std::uint8_t> interleave(const Image& image);

// An image of `planes` planes from file-order samples with `stride` samples per pixel (the
// first `planes` of each pixel are taken).
Image deinterleave(std::size_t rows, std::size_t columns, std::size_t planes, std::size_t stride,
                   std::span<const std::uint8_t> samples);

}  // namespace chaosmix::cli

#pragma once
// Builds PNG files of every kind the tool must decide about (palette, low and high bit depths,
// alpha, transparency chunks, interlacing), written with libpng directly.

#include <cstdint>
#include <vector>

namespace chaosmix::cli::testing {

struct PngLayout {
  std::uint32_t width = 1;
  std::uint32_t height = 1;
  int bitDepth = 8;
  int colourType = 0;  // PNG_COLOR_TYPE_*
  bool interlaced = false;
  std::vector<std::uint8_t> palette;       // red, green, blue per entry
  std::vector<std::uint8_t> paletteAlpha;  // tRNS for palette images
  bool transparentColour = false;          // tRNS colour key for gray or RGB images
  std::uint16_t transparentGray = 0;
  std::uint16_t transparentRgb[3] = {0, 0, 0};
  // The rows as the PNG stores them (packed samples, big-endian for 16 bits), no filter byte.
  std::vector<std::uint8_t> rows;
};

std::vector<std::uint8_t> makePng(const PngLayout& layout);

}  // namespace chaosmix::cli::testing

// libpng-written fixtures.

#include "png_fixture.h"

#include <png.h>

#include <csetjmp>
#include <stdexcept>

namespace chaosmix::cli::testing {

namespace {

void appendBytes(png_structp png, png_bytep data, std::size_t length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

// Holds only trivially destructible locals: libpng may longjmp out of it.
bool writeFixture(png_structp png, png_infop info, const PngLayout& layout, png_colorp palette,
                  int paletteEntries, png_color_16p transparent, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, layout.width, layout.height, layout.bitDepth, layout.colourType,
               layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (paletteEntries > 0) png_set_PLTE(png, info, palette, paletteEntries);
  if (!layout.paletteAlpha.empty())
    png_set_tRNS(png, info, layout.paletteAlpha.data(), static_cast<int>(layout.paletteAlpha.size()),
                 nullptr);
  if (transparent != nullptr) png_set_tRNS(png, info, nullptr, 0, transparent);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

std::vector<std::uint8_t> makePng(const PngLayout& layout) {
  std::vector<std::uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, appendBytes, flushNothing);

  std::vector<png_color> palette;
  for (std::size_t i = 0; i + 2 < layout.palette.size(); i += 3)
    palette.push_back({layout.palette[i], layout.palette[i + 1], layout.palette[i + 2]});
  png_color_16 transparent{};
  transparent.gray = layout.transparentGray;
  transparent.red = layout.transparentRgb[0];
  transparent.green = layout.transparentRgb[1];
  transparent.blue = layout.transparentRgb[2];
  std::vector<std::uint8_t> rows = layout.rows;
  const std::size_t rowBytes = rows.size() / layout.height;
  std::vector<png_bytep> rowPointers(layout.height);
  for (std::uint32_t r = 0; r < layout.height; ++r) rowPointers[r] = rows.data() + r * rowBytes;

  const bool ok = writeFixture(png, info, layout, palette.data(), static_cast<int>(palette.size()),
                               layout.transparentColour ? &transparent : nullptr,
                               rowPointers.data());
  png_destroy_write_struct(&png, &info);
  if (!ok) throw std::runtime_error("fixture PNG could not be written");
  return out;
}

}  // namespace chaosmix::cli::testing

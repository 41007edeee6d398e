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
bool writeFixture(png_structp png, png_infop info, const PngSpec& spec, png_colorp palette,
                  int paletteEntries, png_color_16p transparent, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, spec.width, spec.height, spec.bitDepth, spec.colourType,
               spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (paletteEntries > 0) png_set_PLTE(png, info, palette, paletteEntries);
  if (!spec.paletteAlpha.empty())
    png_set_tRNS(png, info, spec.paletteAlpha.data(), static_cast<int>(spec.paletteAlpha.size()),
                 nullptr);
  if (transparent != nullptr) png_set_tRNS(png, info, nullptr, 0, transparent);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

std::vector<std::uint8_t> makePng(const PngSpec& spec) {
  std::vector<std::uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, appendBytes, flushNothing);

  std::vector<png_color> palette;
  for (std::size_t i = 0; i + 2 < spec.palette.size(); i += 3)
    palette.push_back({spec.palette[i], spec.palette[i + 1], spec.palette[i + 2]});
  png_color_16 transparent{};
  transparent.gray = spec.transparentGray;
  transparent.red = spec.transparentRgb[0];
  transparent.green = spec.transparentRgb[1];
  transparent.blue = spec.transparentRgb[2];
  std::vector<std::uint8_t> rows = spec.rows;
  const std::size_t rowBytes = rows.size() / spec.height;
  std::vector<png_bytep> rowPointers(spec.height);
  for (std::uint32_t r = 0; r < spec.height; ++r) rowPointers[r] = rows.data() + r * rowBytes;

  const bool ok = writeFixture(png, info, spec, palette.data(), static_cast<int>(palette.size()),
                               spec.transparentColour ? &transparent : nullptr,
                               rowPointers.data());
  png_destroy_write_struct(&png, &info);
  if (!ok) throw std::runtime_error("fixture PNG could not be written");
  return out;
}

}  // namespace chaosmix::cli::testing

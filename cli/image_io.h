#pragma once
// Image files in and out: PNG (through libpng) and binary PGM/PPM with a maxval of 255.
//
// An Image is held as a MATLAB-compatible host holds the array that imread gives for the file:
// `rows` = the file's height, `columns` = its width, `planes` 1 (gray) or 3 (red, green, blue),
// octets column-major and plane after plane: sample (row, column, plane) lies at
// row + rows * column + rows * columns * plane.
//
// What the readers accept (every other input is refused with a reason):
// - PNG, 8-bit gray or RGB: read as it is.
// - PNG gray of 1, 2 or 4 bits: expanded to 8 bits (scaled to 0..255), with a notice.
// - PNG palette image: expanded to RGB (or to gray when every palette entry is gray), with a
//   notice; imread would give the palette indices instead.
// - PNG with an alpha channel or a transparency chunk: the alpha is dropped with a notice when
//   every pixel is opaque; any transparent pixel is an error (the ciphers keep no alpha).
// - Interlaced PNG: read in full, with a notice (output is written non-interlaced).
// - PNG with 16-bit samples: an error (the ciphers work on 8-bit samples).
// - PGM (P5) and PPM (P6) with maxval 255; other maxvals, plain (ASCII) and bitmap files,
//   truncated files and trailing data are errors.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace chaosmix::cli {

struct Image {
  std::size_t rows = 0;
  std::size_t columns = 0;
  std::size_t planes = 0;
  std::vector<std::uint8_t> octets;
};

// A file's content that cannot be read as an image; what() gives the reason, without the name.
struct ImageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

enum class FileFormat { png, pnm };

// The format of a written file: pnm chooses PGM or PPM by the plane count.
enum class OutputFormat { png, pgm, ppm, pnm };

struct DecodedImage {
  Image image;
  FileFormat format = FileFormat::png;
  std::vector<std::string> notices;  // lossless conversions applied while reading
};

// Decodes a file's content, PNG or PGM/PPM by its signature. Throws ImageError.
DecodedImage decodeImage(std::span<const std::uint8_t> bytes);
DecodedImage decodePng(std::span<const std::uint8_t> bytes);
DecodedImage decodePnm(std::span<const std::uint8_t> bytes);

// Encodes in memory. The image must have 1 or 3 planes and at least one cell. Throws ImageError
// when the format cannot hold the image (a colour image as PGM, a gray one as PPM).
std::vector<std::uint8_t> encodePng(const Image& image);
std::vector<std::uint8_t> encodePnm(const Image& image);
std::vector<std::uint8_t> encodeImage(const Image& image, OutputFormat format);

// Reads a whole file, or standard input for "-". Throws ImageError naming the reason.
std::vector<std::uint8_t> readFileBytes(const std::filesystem::path& path);

// Reads and decodes a file ("-": standard input).
DecodedImage readImageFile(const std::filesystem::path& path);

// The output format a file name asks for by its extension (.png, .pgm, .ppm, .pnm, in any
// letter case); false when the extension names none of them.
bool outputFormatFromName(const std::filesystem::path& path, OutputFormat& format);

// "png", "pgm", "ppm", "pnm" to the format; false for any other text.
bool outputFormatFromText(const std::string& text, OutputFormat& format);

// The format in which an image read from a file of `format` is written back by default.
OutputFormat defaultOutputFormat(FileFormat format);

}  // namespace chaosmix::cli

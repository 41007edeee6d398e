// Choosing the reader and the writer, and reading whole files.

#include "cli/image_io.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace chaosmix::cli {

namespace {

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

std::string lowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

DecodedImage decodeImage(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) throw ImageError("the file is empty");
  if (bytes.size() >= sizeof kPngSignature &&
      std::equal(std::begin(kPngSignature), std::end(kPngSignature), bytes.begin()))
    return decodePng(bytes);
  if (bytes.size() >= 2 && bytes[0] == 'P' && bytes[1] >= '1' && bytes[1] <= '7')
    return decodePnm(bytes);
  throw ImageError("not a PNG, PGM or PPM file");
}

std::vector<std::uint8_t> encodeImage(const Image& image, OutputFormat format) {
  switch (format) {
    case OutputFormat::png: return encodePng(image);
    case OutputFormat::pgm:
      if (image.planes != 1)
        throw ImageError("a colour image cannot be written as PGM (use PPM or PNG)");
      return encodePnm(image);
    case OutputFormat::ppm:
      if (image.planes != 3)
        throw ImageError("a gray image cannot be written as PPM (use PGM or PNG)");
      return encodePnm(image);
    case OutputFormat::pnm: return encodePnm(image);
  }
  throw ImageError("unknown output format");
}

std::vector<std::uint8_t> readFileBytes(const std::filesystem::path& path) {
  std::vector<std::uint8_t> bytes;
  std::FILE* file = path == "-" ? stdin : std::fopen(path.c_str(), "rb");
  if (file == nullptr) throw ImageError(std::string("cannot open: ") + std::strerror(errno));
  std::uint8_t chunk[65536];
  bool failed = false;
  int error = 0;
  while (true) {
    const std::size_t got = std::fread(chunk, 1, sizeof chunk, file);
    bytes.insert(bytes.end(), chunk, chunk + got);
    if (got < sizeof chunk) {
      if (std::ferror(file)) {
        failed = true;
        error = errno;
      }
      break;
    }
  }
  if (file != stdin) std::fclose(file);
  if (failed) throw ImageError(std::string("cannot read: ") + std::strerror(error));
  return bytes;
}

DecodedImage readImageFile(const std::filesystem::path& path) {
  return decodeImage(readFileBytes(path));
}

bool outputFormatFromName(const std::filesystem::path& path, OutputFormat& format) {
  return outputFormatFromText(lowerCase(path.extension().string()).substr(
                                  path.extension().empty() ? 0 : 1),
                              format);
}

bool outputFormatFromText(const std::string& text, OutputFormat& format) {
  if (text == "png") format = OutputFormat::png;
  else if (text == "pgm") format = OutputFormat::pgm;
  else if (text == "ppm") format = OutputFormat::ppm;
  else if (text == "pnm") format = OutputFormat::pnm;
  else return false;
  return true;
}

OutputFormat defaultOutputFormat(FileFormat format) {
  return format == FileFormat::png ? OutputFormat::png : OutputFormat::pnm;
}

}  // namespace chaosmix::cli

// Binary PGM (P5) and PPM (P6) with a maxval of 255.

#include "cli/image_io.h"
#include "cli/image_layout.h"

#include <limits>

namespace chaosmix::cli {

namespace {

bool isSpace(std::uint8_t c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Reads the header's numbers, skipping white space and comments.
class HeaderReader {
 public:
  explicit HeaderReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t number(const char* what) {
    skipSpaceAndComments();
    if (pos_ == bytes_.size() || bytes_[pos_] < '0' || bytes_[pos_] > '9')
      throw ImageError(std::string("bad PGM/PPM header: no ") + what);
    std::size_t value = 0;
    while (pos_ < bytes_.size() && bytes_[pos_] >= '0' && bytes_[pos_] <= '9') {
      const std::size_t digit = bytes_[pos_] - '0';
      if (value > (std::numeric_limits<std::uint32_t>::max() - digit) / 10)
        throw ImageError(std::string("bad PGM/PPM header: the ") + what + " is too large");
      value = value * 10 + digit;
      ++pos_;
    }
    return value;
  }

  // The single white-space character that ends the header.
  std::size_t dataStart() {
    if (pos_ == bytes_.size() || !isSpace(bytes_[pos_]))
      throw ImageError("bad PGM/PPM header: no white space before the pixel data");
    return pos_ + 1;
  }

 private:
  void skipSpaceAndComments() {
    while (pos_ < bytes_.size()) {
      if (isSpace(bytes_[pos_])) {
        ++pos_;
      } else if (bytes_[pos_] == '#') {
        while (pos_ < bytes_.size() && bytes_[pos_] != '\n' && bytes_[pos_] != '\r') ++pos_;
      } else {
        break;
      }
    }
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 2;  // after the magic number
};

}  // namespace

DecodedImage decodePnm(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 2 || bytes[0] != 'P') throw ImageError("not a PGM or PPM file");
  std::size_t planes = 0;
  switch (bytes[1]) {
    case '5': planes = 1; break;
    case '6': planes = 3; break;
    case '1': case '2': case '3':
      throw ImageError("plain (ASCII) PBM/PGM/PPM files are not supported; use binary PGM or PPM");
    case '4': throw ImageError("PBM bitmaps are not supported; use binary PGM or PPM");
    case '7': throw ImageError("PAM files are not supported; use binary PGM or PPM");
    default: throw ImageError("not a PGM or PPM file");
  }
  HeaderReader header(bytes);
  const std::size_t columns = header.number("width");
  const std::size_t rows = header.number("height");
  const std::size_t maxval = header.number("maxval");
  const std::size_t start = header.dataStart();
  if (maxval != 255)
    throw ImageError("maxval " + std::to_string(maxval) +
                     " is not supported: only 8-bit samples with maxval 255 are");
  if (rows == 0 || columns == 0) throw ImageError("the image has no pixels");
  const std::size_t available = bytes.size() - start;
  // Compared by division: rows * columns * planes may not fit in a size_t.
  if (available / planes / rows < columns) throw ImageError("the file is truncated");
  const std::size_t expected = rows * columns * planes;
  if (available > expected)
    throw ImageError("the file holds data after the image (only one image per file is read)");

  DecodedImage decoded;
  decoded.format = FileFormat::pnm;
  decoded.image = deinterleave(rows, columns, planes, planes, bytes.subspan(start, expected));
  return decoded;
}

std::vector<std::uint8_t> encodePnm(const Image& image) {
  checkWritable(image);
  const std::string header = std::string(image.planes == 1 ? "P5" : "P6") + "\n" +
                             std::to_string(image.columns) + " " + std::to_string(image.rows) +
                             "\n255\n";
  std::vector<std::uint8_t> out(header.begin(), header.end());
  const std::vector<std::uint8_t> samples = interleave(image);
  out.insert(out.end(), samples.begin(), samples.end());
  return out;
}

}  // namespace chaosmix::cli

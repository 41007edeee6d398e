// PNG reading and writing through libpng, entirely in memory.
//
// libpng reports errors by longjmp. Every function that calls into libpng under a setjmp holds
// only trivially destructible locals, and every buffer it fills is owned by its caller, so a
// jump never skips a destructor.

#include "cli/image_io.h"
#include "cli/image_layout.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <new>
#include <string>

namespace chaosmix::cli {

namespace {

constexpr std::size_t kErrorCapacity = 200;

// What the libpng callbacks share with the code that set them up.
struct PngIoState {
  const std::uint8_t* input = nullptr;
  std::size_t inputSize = 0;
  std::size_t position = 0;
  std::vector<std::uint8_t>* output = nullptr;
  char error[kErrorCapacity] = {};
};

PngIoState& stateOf(png_structp png) {
  return *static_cast<PngIoState*>(png_get_error_ptr(png));
}

void recordError(png_structp png, png_const_charp message) {
  PngIoState& state = stateOf(png);
  std::strncpy(state.error, message ? message : "unknown libpng error", kErrorCapacity - 1);
  png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

void readFromMemory(png_structp png, png_bytep data, std::size_t length) {
  PngIoState& state = stateOf(png);
  if (length > state.inputSize - state.position) png_error(png, "the file is truncated");
  std::memcpy(data, state.input + state.position, length);
  state.position += length;
}

void appendToOutput(png_structp png, png_bytep data, std::size_t length) {
  PngIoState& state = stateOf(png);
  bool failed = false;
  try {
    state.output->insert(state.output->end(), data, data + length);
  } catch (const std::bad_alloc&) {
    failed = true;
  }
  if (failed) png_error(png, "out of memory");
}

void flushNothing(png_structp) {}

// Owns a libpng read structure and its info structure.
class PngReader {
 public:
  explicit PngReader(PngIoState& state)
      : png_(png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, recordError, ignoreWarning)) {
    if (png_ == nullptr) throw std::bad_alloc();
    info_ = png_create_info_struct(png_);
    if (info_ == nullptr) {
      png_destroy_read_struct(&png_, nullptr, nullptr);
      throw std::bad_alloc();
    }
    png_set_read_fn(png_, &state, readFromMemory);
  }
  ~PngReader() { png_destroy_read_struct(&png_, &info_, nullptr); }
  PngReader(const PngReader&) = delete;
  PngReader& operator=(const PngReader&) = delete;

  png_structp png() const { return png_; }
  png_infop info() const { return info_; }

 private:
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

// What the header says and what the reader was told to do with it.
struct PngLayout {
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int bitDepth = 0;
  int colourType = 0;
  int interlace = 0;
  bool transparencyChunk = false;
  bool grayPalette = false;
  std::size_t storedRowBytes = 0;  // one row as the file stores it, before the transformations
  std::size_t channels = 0;  // per pixel after the transformations
  std::size_t rowBytes = 0;
};

// Deflate expands its input at most 1032-fold. A header that claims more pixel data than the
// file could hold is refused before the pixel buffer is taken, so a few octets of header can
// never make the reader take gigabytes.
constexpr double kMaxInflation = 1100.0;
constexpr double kInflationSlack = 65536.0;

// Reads the header and sets up the transformations. Returns false on a libpng error.
bool readHeader(const PngReader& reader, PngLayout& layout) {
  png_structp png = reader.png();
  png_infop info = reader.info();
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_info(png, info);
  int compression = 0;
  int filter = 0;
  png_get_IHDR(png, info, &layout.width, &layout.height, &layout.bitDepth, &layout.colourType,
               &layout.interlace, &compression, &filter);
  layout.storedRowBytes = png_get_rowbytes(png, info);
  layout.transparencyChunk = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  if (layout.colourType == PNG_COLOR_TYPE_PALETTE) {
    png_colorp palette = nullptr;
    int entries = 0;
    layout.grayPalette = true;
    if (png_get_PLTE(png, info, &palette, &entries) != 0) {
      for (int i = 0; i < entries; ++i)
        if (palette[i].red != palette[i].green || palette[i].red != palette[i].blue)
          layout.grayPalette = false;
    }
  }
  if (layout.bitDepth == 16) return true;  // refused by the caller before any transformation
  if (layout.colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (layout.colourType == PNG_COLOR_TYPE_GRAY && layout.bitDepth < 8)
    png_set_expand_gray_1_2_4_to_8(png);
  if (layout.transparencyChunk) png_set_tRNS_to_alpha(png);
  if (layout.interlace != PNG_INTERLACE_NONE) png_set_interlace_handling(png);
  png_read_update_info(png, info);
  layout.channels = png_get_channels(png, info);
  layout.rowBytes = png_get_rowbytes(png, info);
  return true;
}

// Reads the pixel rows into the caller's buffer and the rest of the file. Returns false on a
// libpng error.
bool readRows(const PngReader& reader, png_bytepp rows) {
  png_structp png = reader.png();
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  png_read_end(png, nullptr);
  return true;
}

std::string errorText(const PngIoState& state) {
  return std::string("not a readable PNG file: ") + state.error;
}

}  // namespace

DecodedImage decodePng(std::span<const std::uint8_t> bytes) {
  PngIoState state;
  state.input = bytes.data();
  state.inputSize = bytes.size();
  PngReader reader(state);
  PngLayout layout;
  if (!readHeader(reader, layout)) throw ImageError(errorText(state));
  if (layout.bitDepth == 16)
    throw ImageError("16-bit samples are not supported: the ciphers work on 8-bit samples "
                     "(convert the image to 8 bits)");

  DecodedImage decoded;
  decoded.format = FileFormat::png;
  const bool alpha = layout.channels == 2 || layout.channels == 4;
  const std::size_t colourChannels = alpha ? layout.channels - 1 : layout.channels;
  if (colourChannels != 1 && colourChannels != 3)
    throw ImageError("unsupported PNG channel layout");

  const std::size_t rows = layout.height;
  const std::size_t columns = layout.width;
  // Each row carries a filter octet (two, allowing for the passes of an interlaced image).
  const double storedBytes =
      static_cast<double>(rows) * (static_cast<double>(layout.storedRowBytes) + 2.0);
  if (storedBytes > kMaxInflation * static_cast<double>(bytes.size()) + kInflationSlack)
    throw ImageError("not a readable PNG file: the file is far too short for the image size "
                     "its header declares");
  if (layout.rowBytes != columns * layout.channels)
    throw ImageError("unsupported PNG sample layout");
  std::vector<std::uint8_t> pixels(rows * layout.rowBytes);
  std::vector<png_bytep> rowPointers(rows);
  for (std::size_t r = 0; r < rows; ++r) rowPointers[r] = pixels.data() + r * layout.rowBytes;
  if (!readRows(reader, rowPointers.data())) throw ImageError(errorText(state));

  if (alpha) {
    for (std::size_t i = layout.channels - 1; i < pixels.size(); i += layout.channels)
      if (pixels[i] != 255)
        throw ImageError("the image has transparent pixels, and the ciphers keep no alpha "
                         "channel (flatten the image first)");
  }

  // A palette whose entries are all gray holds a gray image.
  const bool toGray = layout.colourType == PNG_COLOR_TYPE_PALETTE && layout.grayPalette;
  const std::size_t planes = toGray ? 1 : colourChannels;
  decoded.image = deinterleave(rows, columns, planes, layout.channels, pixels);

  if (layout.colourType == PNG_COLOR_TYPE_PALETTE)
    decoded.notices.push_back(toGray ? "palette image with gray entries read as gray"
                                     : "palette image expanded to RGB");
  else if (layout.colourType == PNG_COLOR_TYPE_GRAY && layout.bitDepth < 8)
    decoded.notices.push_back(std::to_string(layout.bitDepth) +
                              "-bit gray samples expanded to 8 bits");
  if (alpha) decoded.notices.push_back("opaque alpha channel dropped");
  if (layout.interlace != PNG_INTERLACE_NONE)
    decoded.notices.push_back("interlaced image read in full; the output is not interlaced");
  return decoded;
}

namespace {

// Owns a libpng write structure and its info structure.
class PngWriter {
 public:
  explicit PngWriter(PngIoState& state)
      : png_(png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, recordError, ignoreWarning)) {
    if (png_ == nullptr) throw std::bad_alloc();
    info_ = png_create_info_struct(png_);
    if (info_ == nullptr) {
      png_destroy_write_struct(&png_, nullptr);
      throw std::bad_alloc();
    }
    png_set_write_fn(png_, &state, appendToOutput, flushNothing);
  }
  ~PngWriter() { png_destroy_write_struct(&png_, &info_); }
  PngWriter(const PngWriter&) = delete;
  PngWriter& operator=(const PngWriter&) = delete;

  png_structp png() const { return png_; }
  png_infop info() const { return info_; }

 private:
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

bool writeRows(const PngWriter& writer, png_uint_32 width, png_uint_32 height, int colourType,
               png_bytepp rows) {
  png_structp png = writer.png();
  png_infop info = writer.info();
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, width, height, 8, colourType, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

std::vector<std::uint8_t> encodePng(const Image& image) {
  checkWritable(image);
  if (image.rows > PNG_UINT_31_MAX || image.columns > PNG_UINT_31_MAX)
    throw ImageError("the image is too large for PNG");
  std::vector<std::uint8_t> pixels = interleave(image);
  const std::size_t rowBytes = image.columns * image.planes;
  std::vector<png_bytep> rowPointers(image.rows);
  for (std::size_t r = 0; r < image.rows; ++r) rowPointers[r] = pixels.data() + r * rowBytes;

  std::vector<std::uint8_t> encoded;
  PngIoState state;
  state.output = &encoded;
  PngWriter writer(state);
  const int colourType = image.planes == 1 ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB;
  if (!writeRows(writer, static_cast<png_uint_32>(image.columns),
                 static_cast<png_uint_32>(image.rows), colourType, rowPointers.data()))
    throw ImageError(std::string("PNG encoding failed: ") + state.error);
  return encoded;
}

}  // namespace chaosmix::cli

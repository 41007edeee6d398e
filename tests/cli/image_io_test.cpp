// Image files: the host layout, lossless round trips, and every input case the readers decide.

#include "cli/image_io.h"
#include "png_fixture.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <random>
#include <string>

namespace chaosmix::cli {
namespace {

using testing::makePng;
using testing::PngLayout;

std::vector<std::uint8_t> bytesOf(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

Image randomImage(std::size_t rows, std::size_t columns, std::size_t planes, unsigned seed) {
  std::mt19937 generator(seed);
  Image image{rows, columns, planes, std::vector<std::uint8_t>(rows * columns * planes)};
  for (std::uint8_t& octet : image.octets) octet = static_cast<std::uint8_t>(generator());
  return image;
}

TEST(ImageIo, FileRowsAndColumnsBecomeTheHostLayout) {
  // A PPM of width 2 and height 3: sample (row r, column c, plane p) = 100 r + 10 c + p.
  std::string file = "P6\n2 3\n255\n";
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 2; ++c)
      for (int p = 0; p < 3; ++p) file += static_cast<char>(100 * r + 10 * c + p);
  const DecodedImage decoded = decodeImage(bytesOf(file));
  const Image& image = decoded.image;
  ASSERT_EQ(image.rows, 3u);
  ASSERT_EQ(image.columns, 2u);
  ASSERT_EQ(image.planes, 3u);
  for (std::size_t r = 0; r < 3; ++r)
    for (std::size_t c = 0; c < 2; ++c)
      for (std::size_t p = 0; p < 3; ++p)
        EXPECT_EQ(image.octets[r + 3 * c + 6 * p], 100 * r + 10 * c + p);
  EXPECT_EQ(encodePnm(image), bytesOf(file));
  const DecodedImage viaPng = decodeImage(encodePng(image));
  EXPECT_EQ(viaPng.format, FileFormat::png);
  EXPECT_EQ(viaPng.image.octets, image.octets);
  EXPECT_TRUE(viaPng.notices.empty());
}

TEST(ImageIo, RoundTripsEveryShapeThroughBothFormats) {
  const std::size_t shapes[][3] = {{1, 1, 1}, {1, 7, 1}, {7, 1, 3}, {5, 3, 3}, {64, 33, 1}};
  unsigned seed = 1;
  for (const auto& shape : shapes) {
    const Image image = randomImage(shape[0], shape[1], shape[2], seed++);
    for (const auto& encoded : {encodePng(image), encodePnm(image)}) {
      const DecodedImage decoded = decodeImage(encoded);
      EXPECT_EQ(decoded.image.rows, image.rows);
      EXPECT_EQ(decoded.image.columns, image.columns);
      EXPECT_EQ(decoded.image.planes, image.planes);
      EXPECT_EQ(decoded.image.octets, image.octets);
    }
  }
}

TEST(ImageIo, OutputFormatsRefuseImagesTheyCannotHold) {
  const Image gray = randomImage(2, 2, 1, 7);
  const Image colour = randomImage(2, 2, 3, 8);
  EXPECT_THROW(encodeImage(colour, OutputFormat::pgm), ImageError);
  EXPECT_THROW(encodeImage(gray, OutputFormat::ppm), ImageError);
  EXPECT_EQ(encodeImage(gray, OutputFormat::pnm)[1], '5');
  EXPECT_EQ(encodeImage(colour, OutputFormat::pnm)[1], '6');
  EXPECT_THROW(encodePng(Image{0, 3, 1, {}}), ImageError);
}

TEST(ImageIo, OutputFormatFromNameAndText) {
  OutputFormat format{};
  EXPECT_TRUE(outputFormatFromName("a/b.PNG", format));
  EXPECT_EQ(format, OutputFormat::png);
  EXPECT_TRUE(outputFormatFromName("x.pgm", format));
  EXPECT_EQ(format, OutputFormat::pgm);
  EXPECT_TRUE(outputFormatFromName("x.ppm", format));
  EXPECT_EQ(format, OutputFormat::ppm);
  EXPECT_TRUE(outputFormatFromName("x.pnm", format));
  EXPECT_EQ(format, OutputFormat::pnm);
  EXPECT_FALSE(outputFormatFromName("x.jpg", format));
  EXPECT_FALSE(outputFormatFromName("png", format));
  EXPECT_FALSE(outputFormatFromText("jpeg", format));
}

// One PNG input case: what the reader makes of it.
struct PngCase {
  const char* name;
  PngLayout layout;
  std::size_t planes;                // 0: refused
  const char* fragment;              // of the notice, or of the error
  std::vector<std::uint8_t> octets;  // expected host-layout octets (when not refused)
};

TEST(ImageIo, DecidesEveryPngInputCase) {
  const std::vector<PngCase> cases = {
      {"8-bit gray",
       {2, 1, 8, PNG_COLOR_TYPE_GRAY, false, {}, {}, false, 0, {}, {7, 9}},
       1,
       "",
       {7, 9}},
      {"8-bit RGB",
       {1, 1, 8, PNG_COLOR_TYPE_RGB, false, {}, {}, false, 0, {}, {1, 2, 3}},
       3,
       "",
       {1, 2, 3}},
      {"palette",
       {3,
        1,
        8,
        PNG_COLOR_TYPE_PALETTE,
        false,
        {255, 0, 0, 0, 255, 0, 10, 20, 30},
        {},
        false,
        0,
        {},
        {0, 2, 1}},
       3,
       "palette image expanded to RGB",
       {255, 10, 0, 0, 20, 255, 0, 30, 0}},
      {"gray palette",
       {3,
        1,
        8,
        PNG_COLOR_TYPE_PALETTE,
        false,
        {5, 5, 5, 100, 100, 100},
        {},
        false,
        0,
        {},
        {1, 0, 1}},
       1,
       "palette image with gray entries read as gray",
       {100, 5, 100}},
      {"4-bit palette",
       {2, 1, 4, PNG_COLOR_TYPE_PALETTE, false, {1, 1, 1, 9, 9, 9}, {}, false, 0, {}, {0x10}},
       1,
       "gray entries",
       {9, 1}},
      {"palette, opaque tRNS",
       {2,
        1,
        8,
        PNG_COLOR_TYPE_PALETTE,
        false,
        {1, 2, 3, 4, 5, 6},
        {255, 255},
        false,
        0,
        {},
        {0, 1}},
       3,
       "opaque alpha channel dropped",
       {1, 4, 2, 5, 3, 6}},
      {"palette, opaque tRNS, noticed as palette too",
       {2,
        1,
        8,
        PNG_COLOR_TYPE_PALETTE,
        false,
        {1, 2, 3, 4, 5, 6},
        {255, 255},
        false,
        0,
        {},
        {0, 1}},
       3,
       "palette image expanded to RGB",
       {1, 4, 2, 5, 3, 6}},
      {"palette, transparent entry used",
       {2, 1, 8, PNG_COLOR_TYPE_PALETTE, false, {1, 2, 3, 4, 5, 6}, {255, 0}, false, 0, {}, {0, 1}},
       0,
       "transparent pixels",
       {}},
      {"1-bit gray",
       {3, 1, 1, PNG_COLOR_TYPE_GRAY, false, {}, {}, false, 0, {}, {0xa0}},
       1,
       "1-bit gray samples expanded to 8 bits",
       {255, 0, 255}},
      {"2-bit gray",
       {2, 1, 2, PNG_COLOR_TYPE_GRAY, false, {}, {}, false, 0, {}, {0x60}},
       1,
       "2-bit gray",
       {85, 170}},
      {"4-bit gray",
       {2, 1, 4, PNG_COLOR_TYPE_GRAY, false, {}, {}, false, 0, {}, {0x3f}},
       1,
       "4-bit gray",
       {51, 255}},
      {"16-bit gray",
       {1, 1, 16, PNG_COLOR_TYPE_GRAY, false, {}, {}, false, 0, {}, {1, 2}},
       0,
       "16-bit samples are not supported",
       {}},
      {"16-bit RGB",
       {1, 1, 16, PNG_COLOR_TYPE_RGB, false, {}, {}, false, 0, {}, {0, 1, 0, 2, 0, 3}},
       0,
       "16-bit",
       {}},
      {"gray+alpha, opaque",
       {2, 1, 8, PNG_COLOR_TYPE_GRAY_ALPHA, false, {}, {}, false, 0, {}, {10, 255, 20, 255}},
       1,
       "opaque alpha channel dropped",
       {10, 20}},
      {"gray+alpha, translucent",
       {2, 1, 8, PNG_COLOR_TYPE_GRAY_ALPHA, false, {}, {}, false, 0, {}, {10, 255, 20, 128}},
       0,
       "transparent pixels",
       {}},
      {"RGBA, opaque",
       {1, 1, 8, PNG_COLOR_TYPE_RGB_ALPHA, false, {}, {}, false, 0, {}, {1, 2, 3, 255}},
       3,
       "opaque alpha channel dropped",
       {1, 2, 3}},
      {"RGBA, transparent",
       {1, 1, 8, PNG_COLOR_TYPE_RGB_ALPHA, false, {}, {}, false, 0, {}, {1, 2, 3, 0}},
       0,
       "transparent pixels",
       {}},
      {"gray, tRNS colour unused",
       {2, 1, 8, PNG_COLOR_TYPE_GRAY, false, {}, {}, true, 77, {}, {10, 20}},
       1,
       "opaque alpha channel dropped",
       {10, 20}},
      {"gray, tRNS colour used",
       {2, 1, 8, PNG_COLOR_TYPE_GRAY, false, {}, {}, true, 20, {}, {10, 20}},
       0,
       "transparent pixels",
       {}},
      {"RGB, tRNS colour used",
       {1, 1, 8, PNG_COLOR_TYPE_RGB, false, {}, {}, true, 0, {1, 2, 3}, {1, 2, 3}},
       0,
       "transparent pixels",
       {}},
      {"interlaced gray",
       {3, 3, 8, PNG_COLOR_TYPE_GRAY, true, {}, {}, false, 0, {}, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
       1,
       "interlaced image read in full",
       {1, 4, 7, 2, 5, 8, 3, 6, 9}},
  };
  for (const PngCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<std::uint8_t> file = makePng(c.layout);
    if (c.planes == 0) {
      try {
        decodeImage(file);
        ADD_FAILURE() << "accepted";
      } catch (const ImageError& e) {
        EXPECT_NE(std::string(e.what()).find(c.fragment), std::string::npos) << e.what();
      }
      continue;
    }
    const DecodedImage decoded = decodeImage(file);
    EXPECT_EQ(decoded.image.planes, c.planes);
    EXPECT_EQ(decoded.image.rows, c.layout.height);
    EXPECT_EQ(decoded.image.columns, c.layout.width);
    EXPECT_EQ(decoded.image.octets, c.octets);
    if (*c.fragment == '\0') {
      EXPECT_TRUE(decoded.notices.empty());
    } else {
      bool found = false;
      for (const std::string& notice : decoded.notices)
        found = found || notice.find(c.fragment) != std::string::npos;
      EXPECT_TRUE(found) << c.fragment;
    }
  }
}

TEST(ImageIo, RefusesBrokenPngFiles) {
  const std::vector<std::uint8_t> good = makePng({4,
                                                  4,
                                                  8,
                                                  PNG_COLOR_TYPE_GRAY,
                                                  false,
                                                  {},
                                                  {},
                                                  false,
                                                  0,
                                                  {},
                                                  std::vector<std::uint8_t>(16, 3)});
  std::vector<std::uint8_t> truncated(good.begin(), good.begin() + good.size() / 2);
  std::vector<std::uint8_t> badCrc = good;
  badCrc[29] ^= 0xff;  // the header chunk's CRC
  std::vector<std::uint8_t> signatureOnly(good.begin(), good.begin() + 8);
  for (const auto& file : {truncated, badCrc, signatureOnly}) {
    try {
      decodeImage(file);
      ADD_FAILURE() << "accepted a broken file of " << file.size() << " octets";
    } catch (const ImageError& e) {
      EXPECT_NE(std::string(e.what()).find("not a readable PNG file"), std::string::npos);
    }
  }
}

// A PNG of a signature, a header chunk declaring the given extents (8-bit gray), and the start
// of a pixel data chunk.
std::vector<std::uint8_t> headerOnlyPng(std::uint32_t width, std::uint32_t height) {
  std::vector<std::uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13};
  std::vector<std::uint8_t> chunk = {'I', 'H', 'D', 'R'};
  for (std::uint32_t value : {width, height})
    for (int shift = 24; shift >= 0; shift -= 8)
      chunk.push_back(static_cast<std::uint8_t>(value >> shift));
  chunk.insert(chunk.end(), {8, 0, 0, 0, 0});
  const auto crc =
      static_cast<std::uint32_t>(::crc32(0, chunk.data(), static_cast<uInt>(chunk.size())));
  file.insert(file.end(), chunk.begin(), chunk.end());
  for (int shift = 24; shift >= 0; shift -= 8)
    file.push_back(static_cast<std::uint8_t>(crc >> shift));
  file.insert(file.end(), {0, 0, 0, 2, 'I', 'D', 'A', 'T'});  // the start of the pixel data
  return file;
}

TEST(ImageIo, RefusesHeadersThatClaimMoreThanTheFileCanHold) {
  // 30000 x 30000 gray pixels (900 MB) from 41 octets: refused before any buffer is taken.
  try {
    decodeImage(headerOnlyPng(30000, 30000));
    ADD_FAILURE() << "accepted";
  } catch (const ImageError& e) {
    EXPECT_NE(std::string(e.what()).find("far too short"), std::string::npos) << e.what();
  }
  // A small header-only file gets as far as the missing pixel data.
  try {
    decodeImage(headerOnlyPng(4, 4));
    ADD_FAILURE() << "accepted";
  } catch (const ImageError& e) {
    EXPECT_NE(std::string(e.what()).find("truncated"), std::string::npos) << e.what();
  }
  // A real, highly compressible image is not refused by the bound.
  const std::vector<std::uint8_t> zeros = makePng({2000,
                                                   2000,
                                                   8,
                                                   PNG_COLOR_TYPE_GRAY,
                                                   true,
                                                   {},
                                                   {},
                                                   false,
                                                   0,
                                                   {},
                                                   std::vector<std::uint8_t>(4000000)});
  EXPECT_LT(zeros.size(), 10000u);
  EXPECT_EQ(decodeImage(zeros).image.octets.size(), 4000000u);
}

TEST(ImageIo, DecidesEveryPnmInputCase) {
  const std::pair<std::string, const char*> refused[] = {
      {"", "empty"},
      {"GIF89a", "not a PNG, PGM or PPM file"},
      {"P2\n1 1\n255\n7\n", "plain (ASCII)"},
      {"P3\n1 1\n255\n1 2 3\n", "plain (ASCII)"},
      {"P4\n8 1\n\x01", "PBM bitmaps"},
      {"P7\nWIDTH 1\n", "PAM"},
      {"P5\n1 1\n65535\n\x01\x02", "maxval 65535"},
      {"P5\n1 1\n15\n\x01", "maxval 15"},
      {"P5\n2 2\n255\n\x01\x02\x03", "truncated"},
      {"P5\n1 1\n255\n\x01\x02", "data after the image"},
      {"P5\n0 4\n255\n", "no pixels"},
      {"P5\n1\n", "no height"},
      {"P5\n1 1 255", "no white space"},
      {"P5\n99999999999 1\n255\n", "too large"},
      {"P6\n4294967295 4294967295\n255\n\x01", "truncated"},
  };
  for (const auto& [file, fragment] : refused) {
    try {
      decodeImage(bytesOf(file));
      ADD_FAILURE() << "accepted " << file;
    } catch (const ImageError& e) {
      EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos)
          << file << " -> " << e.what();
    }
  }
  // Comments and any white space in the header are read as the format allows.
  const DecodedImage decoded =
      decodeImage(bytesOf("P5 # a comment\n2\t# width\r\n1 255\n\x05\x06"));
  EXPECT_EQ(decoded.image.octets, (std::vector<std::uint8_t>{5, 6}));
  EXPECT_EQ(decoded.format, FileFormat::pnm);
}

}  // namespace
}  // namespace chaosmix::cli

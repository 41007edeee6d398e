// Fuzzes the image readers of the command-line tool (PNG through libpng, binary PGM/PPM) with
// arbitrary file contents. An ImageError is a normal outcome; any other exception, a crash or a
// sanitizer report is a finding. A decoded image must be well formed and survive writing and
// reading back in both formats unchanged.

#include "cli/image_io.h"

#include "require.h"

#include <cstdint>
#include <cstdlib>
#include <span>

namespace {

bool same(const chaosmix::cli::Image& a, const chaosmix::cli::Image& b) {
  return a.rows == b.rows && a.columns == b.columns && a.planes == b.planes &&
         a.octets == b.octets;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace chaosmix::cli;
  DecodedImage decoded;
  try {
    decoded = decodeImage(std::span<const std::uint8_t>(data, size));
  } catch (const ImageError&) {
    return 0;  // not an image we accept: a normal outcome
  }
  const Image& image = decoded.image;
  CHAOSMIX_FUZZ_REQUIRE(image.rows >= 1 && image.columns >= 1);
  CHAOSMIX_FUZZ_REQUIRE(image.planes == 1 || image.planes == 3);
  CHAOSMIX_FUZZ_REQUIRE(image.octets.size() == image.rows * image.columns * image.planes);
  CHAOSMIX_FUZZ_REQUIRE(same(decodePng(encodePng(image)).image, image));
  CHAOSMIX_FUZZ_REQUIRE(same(decodePnm(encodePnm(image)).image, image));
  return 0;
}

// Sample order conversions between the file formats and the host layout.

#include "cli/image_layout.h"

namespace chaosmix::cli {

void checkWritable(const Image& image) {
  if (image.planes != 1 && image.planes != 3)
    throw ImageError("only gray and RGB images can be written");
  if (image.rows == 0 || image.columns == 0) throw ImageError("the image has no pixels");
  if (image.octets.size() != image.rows * image.columns * image.planes)
    throw ImageError("the image's size does not match its extents");
}

std::vector<std::uint8_t> interleave(const Image& image) {
  const std::size_t rows = image.rows;
  const std::size_t columns = image.columns;
  const std::size_t planes = image.planes;
  std::vector<std::uint8_t> out(image.octets.size());
  for (std::size_t r = 0; r < rows; ++r)
    for (std::size_t c = 0; c < columns; ++c)
      for (std::size_t p = 0; p < planes; ++p)
        out[(r * columns + c) * planes + p] = image.octets[r + rows * c + rows * columns * p];
  return out;
}

Image deinterleave(std::size_t rows, std::size_t columns, std::size_t planes, std::size_t stride,
                   std::span<const std::uint8_t> samples) {
  Image image;
  image.rows = rows;
  image.columns = columns;
  image.planes = planes;
  image.octets.resize(rows * columns * planes);
  for (std::size_t r = 0; r < rows; ++r)
    for (std::size_t c = 0; c < columns; ++c)
      for (std::size_t p = 0; p < planes; ++p)
        image.octets[r + rows * c + rows * columns * p] = samples[(r * columns + c) * stride + p];
  return image;
}

}  // namespace chaosmix::cli

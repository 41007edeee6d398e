#include "mex/arguments.h"

#include "common/key_reading.h"
#include "common/truncate.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace chaosmix::frontend {

std::size_t saturatingProduct(std::size_t a, std::size_t b) {
  constexpr std::size_t kMax = std::numeric_limits<std::size_t>::max();
  if (a != 0 && b > kMax / a) return kMax;
  return a * b;
}

ImageShape readImageShape(const mxArray* image) {
  const auto ndims = static_cast<std::size_t>(mxGetNumberOfDimensions(image));
  const mwSize* dims = mxGetDimensions(image);
  ImageShape shape;
  shape.rows = static_cast<std::size_t>(dims[0]);
  shape.columns = static_cast<std::size_t>(dims[1]);
  shape.planes = ndims == 3 ? static_cast<std::size_t>(dims[2]) : 1;
  return shape;
}

bool anySparse(const mxArray* image, const mxArray* rounds, const mxArray* key) {
  return mxIsSparse(image) || mxIsSparse(rounds) || mxIsSparse(key);
}

bool holdsSixteenElements(const mxArray* key) {
  // Every extent, not rows x columns: a host forms the column count as the product of the
  // extents after the first, and that product may wrap (16 x 2^64-1 x 2^64-1 would look like 16).
  const auto ndims = static_cast<std::size_t>(mxGetNumberOfDimensions(key));
  const mwSize* dims = mxGetDimensions(key);
  std::size_t elements = 1;
  for (std::size_t d = 0; d < ndims; ++d)
    elements = saturatingProduct(elements, static_cast<std::size_t>(dims[d]));
  return elements == 16;
}

std::int32_t readRoundCount(const mxArray* rounds) { return truncateToInt32(mxGetPr(rounds)[0]); }

CipherKey readKey(const mxArray* key) {
  return readKeyRowByRow(mxGetPr(key), mxGetM(key), mxGetN(key));
}

HostMessage::HostMessage(const char* text) {
  const std::size_t length = std::min(std::strlen(text), text_.size() - 1);
  std::memcpy(text_.data(), text, length);
  text_[length] = '\0';
}

}  // namespace chaosmix::frontend

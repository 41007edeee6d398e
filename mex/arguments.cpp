#include "mex/arguments.h"

#include "common/key_reading.h"
#include "common/truncate.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace chaosmix::frontend {

mwSize saturatingProduct(mwSize a, mwSize b) {
  constexpr mwSize kMax = std::numeric_limits<mwSize>::max();
  if (a != 0 && b > kMax / a) return kMax;
  return a * b;
}

ImageShape readImageShape(const mxArray* image) {
  const mwSize ndims = mxGetNumberOfDimensions(image);
  const mwSize* dims = mxGetDimensions(image);
  ImageShape shape;
  shape.rows = dims[0];
  shape.columns = dims[1];
  shape.planes = ndims == 3 ? dims[2] : 1;
  return shape;
}

bool anySparse(const mxArray* image, const mxArray* rounds, const mxArray* key) {
  return mxIsSparse(image) || mxIsSparse(rounds) || mxIsSparse(key);
}

bool holdsSixteenElements(const mxArray* key) {
  return saturatingProduct(mxGetM(key), mxGetN(key)) == 16;
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

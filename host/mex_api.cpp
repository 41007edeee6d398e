// The MEX API functions of the in-process host.

#include "host/array.h"
#include "host/host.h"

#include <cstdarg>
#include <cstdio>
#include <functional>
#include <numeric>
#include <string>

namespace {

std::size_t productOf(const std::vector<mwSize>& dims, std::size_t from) {
  return std::accumulate(dims.begin() + static_cast<std::ptrdiff_t>(from), dims.end(),
                         std::size_t{1}, std::multiplies<>());
}

std::string formatted(const char* format, std::va_list args) {
  std::va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::vsnprintf(text.data(), text.size(), format, args);
  text.pop_back();
  return text;
}

}  // namespace

extern "C" {

mwSize mxGetNumberOfDimensions(const mxArray* array) { return array->dims.size(); }

const mwSize* mxGetDimensions(const mxArray* array) { return array->dims.data(); }

std::size_t mxGetM(const mxArray* array) { return array->dims[0]; }

std::size_t mxGetN(const mxArray* array) { return productOf(array->dims, 1); }

std::size_t mxGetNumberOfElements(const mxArray* array) { return productOf(array->dims, 0); }

bool mxIsDouble(const mxArray* array) { return array->classId == mxDOUBLE_CLASS; }

bool mxIsSparse(const mxArray* array) { return array->sparse; }

double* mxGetPr(const mxArray* array) {
  if (array->classId != mxDOUBLE_CLASS || !array->hasData) return nullptr;
  // The host hands out its storage for writing; the API's const only marks read access.
  return const_cast<double*>(array->real.data());
}

mxArray* mxCreateNumericArray(mwSize ndim, const mwSize* dims, mxClassID classId,
                              mxComplexity complexity) {
  auto array = std::make_unique<mxArray>();
  array->classId = classId;
  array->dims.assign(dims, dims + ndim);
  while (array->dims.size() < 2) array->dims.push_back(1);
  // Like the hosts, keep no trailing singleton dimension beyond the second.
  while (array->dims.size() > 2 && array->dims.back() == 1) array->dims.pop_back();
  array->complex = complexity == mxCOMPLEX;
  if (classId == mxDOUBLE_CLASS) {
    const std::size_t count = productOf(array->dims, 0);
    array->real.assign(count, 0.0);
    if (array->complex) array->imag.assign(count, 0.0);
  }
  return array.release();
}

void mexErrMsgTxt(const char* message) { throw chaosmix::host::MexError(message); }

void mexWarnMsgIdAndTxt(const char* id, const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  chaosmix::host::Warning warning{id, formatted(format, args)};
  va_end(args);
  if (chaosmix::host::WarningLog* log = chaosmix::host::activeWarningLog())
    log->add(std::move(warning));
  else
    std::fprintf(stderr, "warning (%s): %s\n", warning.id.c_str(), warning.text.c_str());
}

}  // extern "C"

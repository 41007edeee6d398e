#include "host/host.h"

#include "host/array.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace chaosmix::host {

namespace {

// The innermost WarningLog of this thread: the host's per-thread session state.
thread_local WarningLog* innermostLog = nullptr;

ArrayPtr newArray() { return ArrayPtr(std::make_unique<mxArray>().release()); }

std::size_t elementCount(const std::vector<mwSize>& dims) {
  std::size_t count = 1;
  for (mwSize d : dims) count *= d;
  return count;
}

}  // namespace

WarningLog::WarningLog() : outer_(innermostLog) { innermostLog = this; }
WarningLog::~WarningLog() { innermostLog = outer_; }
WarningLog* activeWarningLog() { return innermostLog; }

void ArrayDeleter::operator()(mxArray* array) const { std::unique_ptr<mxArray> owned(array); }

ArrayPtr makeDouble(std::vector<mwSize> dims, std::vector<double> values) {
  if (dims.size() < 2) throw std::invalid_argument("makeDouble: at least two dimensions");
  if (values.size() != elementCount(dims))
    throw std::invalid_argument("makeDouble: the values do not fill the dimensions");
  ArrayPtr array = newArray();
  array->dims = std::move(dims);
  array->real = std::move(values);
  return array;
}

ArrayPtr makeRow(std::vector<double> values) {
  const mwSize n = values.size();
  return makeDouble({1, n}, std::move(values));
}

ArrayPtr makeScalar(double value) { return makeDouble({1, 1}, {value}); }

ArrayPtr makeOfClass(mxClassID classId, std::vector<mwSize> dims) {
  if (classId == mxDOUBLE_CLASS) {
    const std::size_t count = elementCount(dims);
    return makeDouble(std::move(dims), std::vector<double>(count, 0.0));
  }
  ArrayPtr array = newArray();
  array->classId = classId;
  array->dims = std::move(dims);
  return array;
}

ArrayPtr makeComplex(std::vector<mwSize> dims, std::vector<double> real,
                     std::vector<double> imag) {
  if (imag.size() != real.size()) throw std::invalid_argument("makeComplex: part sizes differ");
  ArrayPtr array = makeDouble(std::move(dims), std::move(real));
  array->complex = true;
  array->imag = std::move(imag);
  return array;
}

ArrayPtr makeSparse(mwSize m, mwSize n, std::vector<double> nonZeros) {
  ArrayPtr array = newArray();
  array->dims = {m, n};
  array->sparse = true;
  array->real = std::move(nonZeros);
  return array;
}

ArrayPtr makeShapeOnly(std::vector<mwSize> dims) {
  ArrayPtr array = newArray();
  array->dims = std::move(dims);
  array->hasData = false;
  return array;
}

std::vector<mwSize> dimensionsOf(const mxArray& array) { return array.dims; }

std::span<const double> valuesOf(const mxArray& array) { return array.real; }

ArrayPtr callMex(MexFunction function, int nlhs, std::span<const mxArray* const> args) {
  std::vector<mxArray*> plhs(static_cast<std::size_t>(std::max(nlhs, 1)), nullptr);
  std::vector<const mxArray*> prhs(args.begin(), args.end());
  auto freeResults = [&] {
    for (mxArray*& slot : plhs) ArrayDeleter()(std::exchange(slot, nullptr));
  };
  try {
    function(nlhs, plhs.data(), static_cast<int>(prhs.size()), prhs.data());
  } catch (...) {
    freeResults();
    throw;
  }
  ArrayPtr result(std::exchange(plhs[0], nullptr));
  freeResults();
  return result;
}

}  // namespace chaosmix::host

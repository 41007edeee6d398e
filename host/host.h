#pragma once
// The test side of the in-process host: building argument arrays, calling a deliverable's
// mexFunction the way a host does, and collecting its errors and warnings.

#include "mex.h"

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace chaosmix::host {

// A host error raised through mexErrMsgTxt. Deliberately not a std::exception: like a real
// host's error it cannot be caught by the MEX code's handlers for library exceptions.
class MexError {
 public:
  explicit MexError(std::string message) : message_(std::move(message)) {}
  const std::string& message() const { return message_; }

 private:
  std::string message_;
};

struct Warning {
  std::string id;
  std::string text;
};

// Collects the warnings issued on this thread while it exists (the innermost log wins).
class WarningLog {
 public:
  WarningLog();
  ~WarningLog();
  WarningLog(const WarningLog&) = delete;
  WarningLog& operator=(const WarningLog&) = delete;
  const std::vector<Warning>& warnings() const { return warnings_; }
  void add(Warning warning) { warnings_.push_back(std::move(warning)); }

 private:
  WarningLog* outer_;
  std::vector<Warning> warnings_;
};

// The log that collects warnings now, or null.
WarningLog* activeWarningLog();

struct ArrayDeleter {
  void operator()(mxArray* array) const;
};
using ArrayPtr = std::unique_ptr<mxArray, ArrayDeleter>;

// A real double array of the given dimensions holding `values` (column-major, as many as the
// dimensions give).
ArrayPtr makeDouble(std::vector<mwSize> dims, std::vector<double> values);
// A 1 x n row of doubles.
ArrayPtr makeRow(std::vector<double> values);
// A scalar double.
ArrayPtr makeScalar(double value);
// An array of zeros of any class (non-double classes carry no readable data).
ArrayPtr makeOfClass(mxClassID classId, std::vector<mwSize> dims);
// A complex double array.
ArrayPtr makeComplex(std::vector<mwSize> dims, std::vector<double> real,
                     std::vector<double> imag);
// A sparse double m x n array holding only its non-zero values.
ArrayPtr makeSparse(mwSize m, mwSize n, std::vector<double> nonZeros);
// A double array with dimensions but no data, for checks that must fire before any read.
ArrayPtr makeShapeOnly(std::vector<mwSize> dims);

std::vector<mwSize> dimensionsOf(const mxArray& array);
std::span<const double> valuesOf(const mxArray& array);

using MexFunction = void (*)(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

// Calls a deliverable as a host does: plhs has room for one result even when nlhs is 0. On a
// host error the result slot is freed and the MexError propagates. Returns plhs[0].
ArrayPtr callMex(MexFunction function, int nlhs, std::span<const mxArray* const> args);

}  // namespace chaosmix::host

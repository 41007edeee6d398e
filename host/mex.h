#pragma once
// chaosmix's in-process host: the part of the MEX C API that our front ends call, written for
// the unit tests from what the front ends need. A real host (GNU Octave's mkoctfile --mex, or
// MATLAB's mex) brings its own mex.h; the front ends compile against either.

#include <cstddef>

// Array extents and element counts, 64-bit as in current hosts.
using mwSize = std::size_t;

// The array classes the tests build. Only the value of mxDOUBLE_CLASS is fixed by the API.
enum mxClassID {
  mxUNKNOWN_CLASS = 0,
  mxLOGICAL_CLASS = 3,
  mxCHAR_CLASS = 4,
  mxDOUBLE_CLASS = 6,
  mxSINGLE_CLASS = 7,
  mxINT8_CLASS = 8,
  mxUINT8_CLASS = 9,
  mxINT32_CLASS = 12,
};

enum mxComplexity { mxREAL = 0, mxCOMPLEX = 1 };

struct mxArray;

extern "C" {

// The entry point every deliverable exports.
void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

mwSize mxGetNumberOfDimensions(const mxArray* array);
// The dimension vector: mxGetNumberOfDimensions entries, at least 2.
const mwSize* mxGetDimensions(const mxArray* array);
// Rows: the first dimension.
std::size_t mxGetM(const mxArray* array);
// Columns: the product of all dimensions after the first.
std::size_t mxGetN(const mxArray* array);
// The product of all dimensions.
std::size_t mxGetNumberOfElements(const mxArray* array);
bool mxIsDouble(const mxArray* array);
bool mxIsSparse(const mxArray* array);
// The real double elements in column-major order (for a sparse array only its non-zero values);
// null for other classes and for arrays the tests create without data.
double* mxGetPr(const mxArray* array);
// A new array of zeros. Throws std::bad_alloc when memory runs out.
mxArray* mxCreateNumericArray(mwSize ndim, const mwSize* dims, mxClassID classId,
                              mxComplexity complexity);

// Ends the call with a host error: throws chaosmix::host::MexError carrying the text.
[[noreturn]] void mexErrMsgTxt(const char* message);
// Records a warning (printf-style text) in the current host::WarningLog, or prints it to
// standard error when no log is active.
void mexWarnMsgIdAndTxt(const char* id, const char* format, ...);

}  // extern "C"

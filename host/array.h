#pragma once
// The in-process host's array: a value that the MEX API functions of host/mex.h read.

#include "mex.h"

#include <vector>

struct mxArray {
  mxClassID classId = mxDOUBLE_CLASS;
  std::vector<mwSize> dims{0, 0};  // at least two entries
  bool sparse = false;
  bool complex = false;
  bool hasData = true;       // false for arrays the tests build with a shape only
  std::vector<double> real;  // double class: every element, or a sparse array's non-zeros
  std::vector<double> imag;  // complex arrays: the imaginary parts
};

#pragma once
// Reading the host's key argument into a CipherKey.

#include <chaosmix/key.h>

#include <cstddef>

namespace chaosmix {

// Reads a keyRows x keyCols column-major double matrix (keyRows * keyCols must be 16) row by
// row: octet i * keyCols + j is the low 8 bits of the truncated element (i, j), which lies at
// index i + keyRows * j. A row or column vector gives its elements in order.
CipherKey readKeyRowByRow(const double* data, std::size_t keyRows, std::size_t keyCols);

}  // namespace chaosmix

#pragma once
// The logistic map step that every chaotic sequence of both ciphers is drawn from.

namespace chaosmix {

// x becomes ((1 - x) * x) * 4, each operation rounded to double on its own.
inline double logisticStep(double x) { return ((1.0 - x) * x) * 4.0; }

}  // namespace chaosmix

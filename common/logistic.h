#pragma once
// The logistic map step that every chaotic sequence of both ciphers is drawn from.

namespace chaosmix {

// x becomes ((1 - x) * x) * 4, each operation rounded to double on its own, computed as
// (1 - x) * (4 * x): two dependent roundings on the chain instead of three, same bits.
//
// Why it is exact. Multiplying by 4 only changes the exponent, so 4 * x is exact and
// (1 - x) * (4 * x) is the rounding of 4 * ((1 - x) * x). Rounding to nearest commutes with
// scaling by a power of two unless the value is subnormal before scaling (fixed absolute
// quantum) or overflows after it, and the overflow threshold scales with it. With a = (1 - x)
// rounded, the product a * x is never subnormal unless it is exact: for |x| < 2^-54 the
// rounding of 1 - x is exactly 1, so a * x = x is exact, and for |x| >= 2^-54 the magnitude of
// a * x is at least 2^-55 (or exactly 0 at x = 1). So both forms round the same real value at
// the same scale, for every double including zeros, infinities and NaN (the chains never
// hold a subnormal value anyway). tests/reference/logistic_step_test.cpp checks it over 10^8
// random values, the special values and the whole range.
inline double logisticStep(double x) { return (1.0 - x) * (4.0 * x); }

}  // namespace chaosmix

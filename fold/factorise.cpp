#include "fold/factorise.h"

#include <stdexcept>

namespace chaosmix::fold {

namespace {

// The smallest odd divisor d >= 3 of n, or 0 when n has none (n is a power of two). Odd
// divisors of n are those of its odd part, so the trial division stops at the square root of
// the odd part: when nothing up to it divides, the odd part itself is prime.
std::int32_t smallestOddDivisor(std::int32_t n) {
  std::int32_t odd = n;
  while (odd % 2 == 0) odd /= 2;
  if (odd < 3) return 0;
  for (std::int32_t d = 3; d <= odd / d; d += 2) {
    if (odd % d == 0) return d;
  }
  return odd;
}

}  // namespace

std::int32_t factorise(std::int32_t n, FactorList& list) {
  if (n < 1) throw std::invalid_argument("factorise: the cell count must be at least 1");
  while (n != 1) {
    if (n % 2 == 0) {
      list.push_back(2);
      n /= 2;
    }
    if (n >= 3) {
      if (const std::int32_t d = smallestOddDivisor(n); d != 0) {
        list.push_back(d);
        n /= d;
      }
    }
  }
  return static_cast<std::int32_t>(list.size());
}

}  // namespace chaosmix::fold

#pragma once
// The cell count's prime factors, in the cipher's order of discovery.

#include <cstdint>
#include <vector>

namespace chaosmix::fold {

// Only the order of the values matters: they stay in the order they were appended.
using FactorList = std::vector<std::int32_t>;

// Appends the prime factors of n (at least 1) to the list and returns the list's count. Every
// round takes at most one 2 (when n is even) and then at most one odd factor, the smallest odd
// divisor of what is left, so the factors come out interleaved: 12 gives 2, 3, 2.
// Throws std::invalid_argument when n is below 1, for which there is no factorisation.
std::int32_t factorise(std::int32_t n, FactorList& list);

}  // namespace chaosmix::fold

#pragma once
// The peak heap each library call takes (its output array included), per cell: an upper
// bound of the extra memory beyond the input and output arrays.

#include <ostream>

namespace chaosmix::bench {

void printMemoryTable(std::ostream& out);

}  // namespace chaosmix::bench

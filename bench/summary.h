#pragma once
// `chaosmix-bench --summary`: runs every case side by side a fixed number of times and prints
// one table of medians.

#include <ostream>

namespace chaosmix::bench {

void printSummary(std::ostream& out);

}  // namespace chaosmix::bench

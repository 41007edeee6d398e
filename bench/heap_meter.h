#pragma once
// Measures the heap a call takes: this executable replaces the global operator new/delete with
// ones that count the bytes in use and their peak.

#include <cstddef>

namespace chaosmix::bench {

// Starts a measurement: the peak is set to the bytes in use now.
void resetHeapPeak();

// The highest number of bytes in use since resetHeapPeak, above what was in use then.
std::size_t heapPeakSinceReset();

}  // namespace chaosmix::bench

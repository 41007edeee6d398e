#include "cli/heap_tuning.h"

#include <cstdlib>  // defines __GLIBC__ where it applies

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace chaosmix::cli {

void keepFreedBuffersForReuse() {
#if defined(__GLIBC__)
  // Buffers up to 32 MiB (glibc's largest threshold) come from the heap rather than from
  // mappings of their own, and freed heap memory is returned to the system only beyond 512 MiB.
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  mallopt(M_TRIM_THRESHOLD, 512 * 1024 * 1024);
#endif
}

}  // namespace chaosmix::cli

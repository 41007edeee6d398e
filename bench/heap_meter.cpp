#include "bench/heap_meter.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace chaosmix::bench {

namespace {

// The measuring instrument itself: the replaced allocation functions can reach no other state.
std::atomic<std::size_t> inUse{0};
std::atomic<std::size_t> peak{0};
std::atomic<std::size_t> base{0};

void* counted(void* p) {
  if (p == nullptr) throw std::bad_alloc();
  const std::size_t now = inUse.fetch_add(malloc_usable_size(p)) + malloc_usable_size(p);
  std::size_t seen = peak.load();
  while (now > seen && !peak.compare_exchange_weak(seen, now)) {
  }
  return p;
}

void release(void* p) {
  if (p == nullptr) return;
  inUse.fetch_sub(malloc_usable_size(p));
  std::free(p);
}

}  // namespace

void resetHeapPeak() {
  base = inUse.load();
  peak = base.load();
}

std::size_t heapPeakSinceReset() { return peak.load() - base.load(); }

}  // namespace chaosmix::bench

void* operator new(std::size_t size) {
  return chaosmix::bench::counted(std::malloc(size == 0 ? 1 : size));
}
void* operator new[](std::size_t size) {
  return chaosmix::bench::counted(std::malloc(size == 0 ? 1 : size));
}
void* operator new(std::size_t size, std::align_val_t align) {
  const auto a = static_cast<std::size_t>(align);
  return chaosmix::bench::counted(std::aligned_alloc(a, (size + a - 1) / a * a));
}
void* operator new[](std::size_t size, std::align_val_t align) {
  return operator new(size, align);
}
void operator delete(void* p) noexcept { chaosmix::bench::release(p); }
void operator delete[](void* p) noexcept { chaosmix::bench::release(p); }
void operator delete(void* p, std::size_t) noexcept { chaosmix::bench::release(p); }
void operator delete[](void* p, std::size_t) noexcept { chaosmix::bench::release(p); }
void operator delete(void* p, std::align_val_t) noexcept { chaosmix::bench::release(p); }
void operator delete[](void* p, std::align_val_t) noexcept { chaosmix::bench::release(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
  chaosmix::bench::release(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
  chaosmix::bench::release(p);
}

// A simple work queue: workers take the next index until none is left.

#include "cli/parallel.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace chaosmix::cli {

void runInParallel(std::size_t count, std::size_t workers,
                   const std::function<void(std::size_t)>& job,
                   const std::function<void(std::size_t)>& finished) {
  std::atomic<std::size_t> next{0};
  std::atomic<std::size_t> done{0};
  auto work = [&] {
    for (std::size_t i = next++; i < count; i = next++) {
      job(i);
      finished(++done);
    }
  };
  const std::size_t threads = std::clamp<std::size_t>(workers, 1, std::max<std::size_t>(count, 1));
  if (threads == 1) {
    work();
    return;
  }
  std::vector<std::jthread> pool;
  pool.reserve(threads);
  for (std::size_t t = 0; t < threads; ++t) pool.emplace_back(work);
}

}  // namespace chaosmix::cli

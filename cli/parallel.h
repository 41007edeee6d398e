#pragma once
// Runs independent jobs on a fixed number of worker threads.

#include <cstddef>
#include <functional>

namespace chaosmix::cli {

// Calls job(i) for every i in 0..count-1 on up to `workers` threads (at least one), each index
// exactly once, and after each job calls finished(number of jobs finished so far). The jobs
// must not throw; finished is called from the worker threads.
void runInParallel(std::size_t count, std::size_t workers,
                   const std::function<void(std::size_t)>& job,
                   const std::function<void(std::size_t)>& finished);

}  // namespace chaosmix::cli

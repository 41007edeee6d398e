#pragma once
// The two kinds of failure the tool reports: usage errors (exit code 2) and failures of the
// work (exit code 1, any other std::exception).

#include <stdexcept>
#include <string>

namespace chaosmix::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// A wrong call: a bad option value, a bad key, a missing argument.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace chaosmix::cli

#pragma once
// The measured cases: each runs the reference transcription and the library on the same input.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace chaosmix::bench {

struct BenchCase {
  std::string name;
  double octets = 0;                  // image octets per run (0: not a throughput case)
  std::function<void()> reference;    // empty for the context cases
  std::function<void()> library;
  std::function<void()> floor;        // the bare logistic loop of the same length, if any
  int repetitions = 11;               // for --summary
};

// All cases of the benchmark, inputs prepared.
std::vector<BenchCase> benchCases();

// A bare loop of `steps` logistic steps from x: no branches, the chain's latency only.
double logisticFloor(std::uint64_t steps, double x);

}  // namespace chaosmix::bench

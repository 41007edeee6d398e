// chaosmix-bench: Google Benchmark over every case (reference, chaosmix, floor), or with
// --summary the one table of medians.

#include "bench/bench_cases.h"
#include "bench/memory_table.h"
#include "bench/summary.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <iostream>
#include <string>

namespace {

std::string benchName(std::string name, const char* variant) {
  std::replace(name.begin(), name.end(), ' ', '_');
  return name + "/" + variant;
}

void registerCases() {
  for (const auto& c : chaosmix::bench::benchCases()) {
    const auto add = [&](const char* variant, const std::function<void()>& run) {
      if (!run) return;
      const double octets = c.octets;
      benchmark::RegisterBenchmark(benchName(c.name, variant).c_str(),
                                   [run, octets](benchmark::State& state) {
                                     for (auto _ : state) run();
                                     if (octets > 0)
                                       state.SetBytesProcessed(static_cast<std::int64_t>(
                                           octets * static_cast<double>(state.iterations())));
                                   })
          ->Unit(benchmark::kMillisecond);
    };
    add("reference", c.reference);
    add("chaosmix", c.library);
    add("floor", c.floor);
  }
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--summary") == 0) {
      chaosmix::bench::printSummary(std::cout);
      chaosmix::bench::printMemoryTable(std::cout);
      return 0;
    }
  }
  registerCases();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

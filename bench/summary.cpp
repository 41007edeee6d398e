#include "bench/summary.h"

#include "bench/bench_cases.h"

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <string>
#include <vector>

namespace chaosmix::bench {

namespace {

// CPU time of this thread: on a shared machine a run that is descheduled for a while does not
// count the time it waited.
double threadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double secondsOf(const std::function<void()>& run) {
  const double start = threadSeconds();
  run();
  return threadSeconds() - start;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t m = v.size() / 2;
  return v.size() % 2 == 1 ? v[m] : (v[m - 1] + v[m]) / 2.0;
}

std::string formatTime(double seconds) {
  char text[32];
  if (seconds >= 1.0)
    std::snprintf(text, sizeof text, "%.2f s", seconds);
  else if (seconds >= 1e-3)
    std::snprintf(text, sizeof text, "%.2f ms", seconds * 1e3);
  else
    std::snprintf(text, sizeof text, "%.1f us", seconds * 1e6);
  return text;
}

std::string formatNumber(const char* format, double value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

struct Medians {
  double reference = 0, library = 0, floor = 0;
};

// The three functions run in turn in every repetition, so that drifts of the machine hit all
// of them alike. A slow reference (seconds) gets no warm-up run.
Medians measure(const BenchCase& c) {
  std::vector<double> ref, lib, flo;
  const bool warmUp = c.repetitions > 3;
  if (warmUp) {
    if (c.reference) c.reference();
    c.library();
    if (c.floor) c.floor();
  }
  for (int i = 0; i < c.repetitions; ++i) {
    if (c.reference) ref.push_back(secondsOf(c.reference));
    lib.push_back(secondsOf(c.library));
    if (c.floor) flo.push_back(secondsOf(c.floor));
  }
  Medians m;
  m.library = median(lib);
  if (!ref.empty()) m.reference = median(ref);
  if (!flo.empty()) m.floor = median(flo);
  return m;
}

}  // namespace

void printSummary(std::ostream& out) {
  out << "Medians of CPU time; ratio = reference / chaosmix; keystream / floor = chaosmix\n"
      << "keystream / bare loop of the same number of logistic steps.\n\n"
      << "| case | reference | chaosmix | ratio | MB/s | keystream / floor |\n"
      << "|---|---:|---:|---:|---:|---:|\n";
  for (const BenchCase& c : benchCases()) {
    const Medians m = measure(c);
    out << "| " << c.name << " | " << (c.reference ? formatTime(m.reference) : "-") << " | "
        << formatTime(m.library) << " | "
        << (c.reference ? formatNumber("%.2f x", m.reference / m.library) : "-") << " | "
        << (c.octets > 0 ? formatNumber("%.1f", c.octets / m.library / 1e6) : "-") << " | "
        << (c.floor ? formatNumber("%.3f x", m.library / m.floor) : "-") << " |\n";
    out.flush();
  }
}

}  // namespace chaosmix::bench

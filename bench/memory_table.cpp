#include "bench/memory_table.h"

#include "bench/heap_meter.h"

#include <chaosmix/cube.h>
#include <chaosmix/fold.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace chaosmix::bench {

namespace {

struct MemoryCase {
  std::string name;
  std::size_t cells;
  std::function<std::vector<std::uint8_t>()> call;
};

const CipherKey kKey = {0x3a, 0x91, 0x0c, 0x5e, 0xd2, 0x47, 0x88, 0x1f,
                        0xb3, 0x6d, 0x20, 0xe9, 0x74, 0x15, 0x9c, 0x42};

}  // namespace

void printMemoryTable(std::ostream& out) {
  constexpr std::size_t kSide = 512, kCells = kSide * kSide;
  const std::vector<std::uint8_t> gray(kCells, 77), colour(3 * kCells, 77);
  const std::vector<MemoryCase> cases = {
      {"cube encrypt 512x512 r5", kCells,
       [&] { return cubeEncrypt(gray, kSide, kSide, 5, kKey); }},
      {"cube decrypt 512x512 r5", kCells,
       [&] { return cubeDecrypt(gray, kSide, kSide, 5, kKey); }},
      {"fold encrypt 512x512 gray r10", kCells,
       [&] { return foldEncrypt(gray, kSide, kSide, CellKind::gray, 10, kKey); }},
      {"fold decrypt 512x512 gray r10", kCells,
       [&] { return foldDecrypt(gray, kSide, kSide, CellKind::gray, 10, kKey); }},
      {"fold encrypt 512x512 colour r10", kCells,
       [&] { return foldEncrypt(colour, kSide, kSide, CellKind::colour, 10, kKey); }},
      {"fold decrypt 512x512 colour r10", kCells,
       [&] { return foldDecrypt(colour, kSide, kSide, CellKind::colour, 10, kKey); }},
  };
  // The peak counts everything the call takes, its output array included, so it bounds the
  // extra memory beyond the input and output from above.
  out << "\n| call | peak heap of the call (output included) | per cell |\n|---|---:|---:|\n";
  for (const MemoryCase& c : cases) {
    resetHeapPeak();
    const std::vector<std::uint8_t> result = c.call();
    const std::size_t peak = heapPeakSinceReset();
    const auto extra = static_cast<double>(peak);
    char line[160];
    std::snprintf(line, sizeof line, "| %s | %.2f MB | %.1f bytes |\n", c.name.c_str(),
                  extra / 1e6, extra / static_cast<double>(c.cells));
    out << line;
  }
}

}  // namespace chaosmix::bench

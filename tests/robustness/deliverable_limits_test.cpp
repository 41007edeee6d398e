// The deliverables at their limits: memory that really runs out (an address-space limit, not an
// injected failure), keys of every wrong size including extents whose products wrap to 16, and
// image extents whose products overflow 64 bits.

#include "child_process.h"
#include "deliverables.h"

#include <gtest/gtest.h>

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

namespace chaosmix::test {
namespace {

using host::ArrayPtr;

constexpr const char* kNames[] = {"cubemix", "cubeunmix", "foldmix", "foldunmix"};
constexpr mwSize kMax = std::numeric_limits<mwSize>::max();

// Bytes the heap has handed out and not taken back (small blocks and mapped ones).
std::size_t heapInUse() {
  const struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

// The process's current address-space size.
std::size_t addressSpaceInUse() {
  std::ifstream statm("/proc/self/statm");
  std::size_t pages = 0;
  statm >> pages;
  return pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

std::string callForMessage(host::MexFunction function, std::vector<const mxArray*> args) {
  try {
    host::callMex(function, 1, args);
  } catch (const host::MexError& e) {
    return e.message();
  }
  return "";
}

// A 3000 x 3000 image (9,000,000 cells, 72 MB of doubles) with an address-space limit that
// leaves the call from 8 MB up to 200 MB of room: whichever allocation of the call fails first
// (the result array, the cell buffers, the engine's tables), the call ends with "Out of
// memory." and gives back every byte it took; with enough room it succeeds.
TEST(RealMemoryLimit, EveryDeliverableReportsOutOfMemoryAndLeaksNothing) {
  if (underSanitizer())
    GTEST_SKIP() << "an address-space limit cannot be combined with a sanitizer's shadow memory; "
                    "the injected allocation failures of the host tests cover these builds";
  constexpr mwSize kSide = 3000;
  const ArrayPtr image = host::makeDouble({kSide, kSide}, std::vector<double>(kSide * kSide, 7.0));
  const ArrayPtr rounds = host::makeScalar(1);
  std::vector<double> keyValues(16);
  for (int i = 0; i < 16; ++i) keyValues[i] = 11.0 * i + 3;
  const ArrayPtr key = host::makeRow(keyValues);

  for (const char* name : kNames) {
    const host::MexFunction function = deliverable(name);
    int outOfMemory = 0;
    for (std::size_t roomMb : {8, 50, 100, 150, 200}) {
      SCOPED_TRACE(testing::Message() << name << ", " << roomMb << " MB of room");
      const ChildOutcome outcome = runInChild(
          [&](const auto& report) {
            std::string message;
            message.reserve(256);
            // A small call that succeeds and one that fails first, and the call itself three
            // times: what the process allocates once for good (the unwinder's caches, the C
            // library's bookkeeping after a failed mapping) is not counted, a leak would be
            // counted twice.
            const ArrayPtr small = host::makeDouble({2, 2}, {1, 2, 3, 4});
            const mxArray* smallArgs[] = {small.get(), rounds.get(), key.get()};
            host::callMex(function, 1, smallArgs);
            callForMessage(function, {small.get()});
            const rlimit limit{addressSpaceInUse() + (roomMb << 20), RLIM_INFINITY};
            std::size_t before = 0;
            for (int repeat = 0; repeat < 3; ++repeat) {
              if (repeat == 1) before = heapInUse();
              if (setrlimit(RLIMIT_AS, &limit) != 0) return 2;
              message.clear();
              try {
                const mxArray* args[] = {image.get(), rounds.get(), key.get()};
                const ArrayPtr result = host::callMex(function, 1, args);
              } catch (const host::MexError& e) {
                message.assign(e.message());
              }
              const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
              setrlimit(RLIMIT_AS, &unlimited);
            }
            const std::size_t after = heapInUse();
            report(message.empty() ? std::string("ok") : message);
            report(std::to_string(after - before));
            return 0;
          },
          0, std::chrono::seconds(120));
      ASSERT_TRUE(outcome.exited) << "signal " << outcome.signal;
      ASSERT_EQ(outcome.exitCode, 0);
      const auto split = outcome.report.find('\n');
      const std::string message = outcome.report.substr(0, split);
      const std::string leaked = outcome.report.substr(split + 1);
      EXPECT_TRUE(message == "ok" || message == "Out of memory.") << message;
      EXPECT_EQ(leaked, "0\n") << "bytes left allocated after the call";
      if (message == "Out of memory.") ++outOfMemory;
    }
    EXPECT_GE(outOfMemory, 1) << name << " never ran out of memory: the limits are too generous";
  }
}

// Keys of every element count but 16, in every orientation and with more dimensions, and keys
// whose extents multiply to 16 only when the product wraps in 64 bits. They carry no data, so a
// front end that read them would crash: the key-length error must come first.
TEST(WrongKeys, EveryWrongSizeGetsTheKeyLengthError) {
  std::vector<std::vector<mwSize>> shapes;
  for (mwSize n = 0; n <= 40; ++n) {
    if (n == 16) continue;
    shapes.push_back({1, n});
    shapes.push_back({n, 1});
  }
  for (auto s : std::vector<std::vector<mwSize>>{{2, 7}, {2, 9}, {3, 5}, {4, 5}, {5, 3}, {8, 3},
                                                 {2, 2, 3}, {2, 2, 5}, {1, 1, 15}, {1, 16, 2},
                                                 {4, 4, 0}, {4, 4, 2}, {16, 1, 1, 2}})
    shapes.push_back(s);
  // Products that wrap to 16 in 64 bits: these keys do not hold 16 elements either.
  const std::vector<std::vector<mwSize>> wrapping = {{16, kMax, kMax},
                                                     {(mwSize{1} << 60) + 1, 16},
                                                     {2, (mwSize{1} << 63) + 8},
                                                     {4, (mwSize{1} << 62) + 4},
                                                     {1, 4, (mwSize{1} << 62) + 4}};

  const ArrayPtr image = host::makeDouble({2, 3}, {1, 2, 3, 4, 5, 6});
  const ArrayPtr rounds = host::makeScalar(1);
  const std::string cubeText = "Key should be 16 bits of length.";
  const std::string texts[] = {cubeText, cubeText, "Key should be 16 bits in length.",
                               "Key should be 16 bits of length."};
  auto describe = [](const std::vector<mwSize>& shape) {
    std::string text;
    for (mwSize e : shape) text += std::to_string(e) + " ";
    return text;
  };
  for (std::size_t d = 0; d < 4; ++d) {
    const host::MexFunction function = deliverable(kNames[d]);
    for (const auto& shape : shapes) {
      SCOPED_TRACE(testing::Message() << kNames[d] << ", key " << describe(shape));
      const ArrayPtr key = host::makeShapeOnly(shape);
      EXPECT_EQ(callForMessage(function, {image.get(), rounds.get(), key.get()}), texts[d]);
    }
    for (const auto& shape : wrapping) {
      SCOPED_TRACE(testing::Message() << kNames[d] << ", key " << describe(shape));
      // In a child process: a front end that takes such a key for 16 elements reads its
      // missing data and crashes there, not in the test.
      const ChildOutcome outcome = runInChild(
          [&](const auto& report) {
            const ArrayPtr key = host::makeShapeOnly(shape);
            report(callForMessage(function, {image.get(), rounds.get(), key.get()}));
            return 0;
          },
          0, std::chrono::seconds(30));
      EXPECT_TRUE(outcome.exited) << "the call crashed (signal " << outcome.signal << ")";
      EXPECT_EQ(outcome.report, texts[d] + "\n");
    }
  }
}

// Image extents whose product overflows 64 bits (and would wrap to 0 or 1 if multiplied
// naively) are too large, never empty or tiny: no data is read and nothing is allocated.
TEST(HugeImages, ProductsThatOverflowSixtyFourBitsAreTooLarge) {
  const std::string cubeTooLarge = "Image is too large: at most 999999999 cells are supported.";
  const std::string foldTooLarge = "Image is too large: at most 2147483647 cells are supported.";
  const std::vector<std::vector<mwSize>> shapes = {
      {mwSize{1} << 63, 2},                          // wraps to 0
      {(mwSize{1} << 32) + 1, (mwSize{1} << 32) - 1}, // 2^64 - 1
      {(mwSize{1} << 32) - 1, (mwSize{1} << 32) + 1, 1},
      {kMax, kMax},                                   // wraps to 1
      {3, (mwSize{1} << 63) / 3 * 2 + 1}};
  const ArrayPtr rounds = host::makeScalar(1);
  const ArrayPtr key = host::makeRow(std::vector<double>(16, 5.0));
  for (std::size_t d = 0; d < 4; ++d) {
    const host::MexFunction function = deliverable(kNames[d]);
    for (const auto& shape : shapes) {
      SCOPED_TRACE(testing::Message() << kNames[d] << ", " << shape[0] << " x " << shape[1]);
      const ArrayPtr image = host::makeShapeOnly(shape);
      EXPECT_EQ(callForMessage(function, {image.get(), rounds.get(), key.get()}),
                d < 2 ? cubeTooLarge : foldTooLarge);
    }
  }
}

}  // namespace
}  // namespace chaosmix::test

// Exhausted memory anywhere in a deliverable's call: the host error "Out of memory.", and no
// allocation outlives the call. This executable replaces the global allocation functions to
// make any one allocation fail on demand and to count the allocations alive.

#include "deliverables.h"

#include <chaosmix/cube.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <vector>

namespace {

// Per-thread test state of the replaced allocation functions (plain values, no initialiser
// that could allocate).
thread_local long long allocationsUntilFailure = -1;  // -1: never fail
thread_local long long liveAllocations = 0;
thread_local bool failureInjected = false;

void* allocate(std::size_t size) {
  if (allocationsUntilFailure == 0) {
    allocationsUntilFailure = -1;  // fail this one allocation only
    failureInjected = true;
    throw std::bad_alloc();
  }
  if (allocationsUntilFailure > 0) --allocationsUntilFailure;
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  ++liveAllocations;
  return p;
}

void release(void* p) noexcept {
  if (p == nullptr) return;
  --liveAllocations;
  std::free(p);
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }

namespace chaosmix::test {
namespace {

using host::ArrayPtr;

struct Outcome {
  bool injected = false;
  bool succeeded = false;
  std::string message;
  std::vector<double> result;
};

// Calls the deliverable with the k-th allocation from now failing; checks that nothing leaks.
Outcome callFailing(host::MexFunction function, long long k,
                    std::vector<const mxArray*> prhs) {
  Outcome outcome;
  outcome.message.reserve(64);
  outcome.result.reserve(4096);
  mxArray* plhs[1] = {nullptr};
  const long long before = liveAllocations;
  failureInjected = false;
  allocationsUntilFailure = k;
  try {
    function(1, plhs, static_cast<int>(prhs.size()), prhs.data());
    outcome.succeeded = true;
  } catch (const host::MexError& e) {
    outcome.message.assign(e.message());
  }
  allocationsUntilFailure = -1;
  outcome.injected = failureInjected;
  if (outcome.succeeded && plhs[0] != nullptr) {
    const auto values = host::valuesOf(*plhs[0]);
    outcome.result.assign(values.begin(), values.end());
  }
  host::ArrayDeleter()(plhs[0]);  // the host frees the result slot, after an error too
  EXPECT_EQ(liveAllocations, before) << "allocations leaked when allocation " << k << " failed";
  return outcome;
}

TEST(OutOfMemory, EveryAllocationFailureIsReportedAndNothingLeaks) {
  const CipherKey key = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  ASSERT_TRUE(cubePermutationReach(20 * 30, key).oneToOne);  // no warning in the call
  std::vector<double> gray(20 * 30), colour(20 * 30 * 3);
  for (std::size_t i = 0; i < gray.size(); ++i) gray[i] = static_cast<double>(i % 256);
  for (std::size_t i = 0; i < colour.size(); ++i) colour[i] = static_cast<double>(i * 7 % 256);
  const ArrayPtr grayImage = host::makeDouble({20, 30}, gray);
  const ArrayPtr colourImage = host::makeDouble({20, 30, 3}, colour);
  const ArrayPtr rounds = host::makeScalar(2);
  const ArrayPtr keyArray = host::makeRow(std::vector<double>(key.begin(), key.end()));
  struct Call {
    const char* name;
    const mxArray* image;
  };
  const Call calls[] = {{"cubemix", grayImage.get()},   {"cubeunmix", grayImage.get()},
                        {"foldmix", grayImage.get()},   {"foldunmix", grayImage.get()},
                        {"foldmix", colourImage.get()}, {"foldunmix", colourImage.get()}};
  for (const Call& c : calls) {
    SCOPED_TRACE(c.name);
    const host::MexFunction function = deliverable(c.name);
    std::vector<const mxArray*> prhs{c.image, rounds.get(), keyArray.get()};
    const Outcome normal = callFailing(function, -1, prhs);
    ASSERT_TRUE(normal.succeeded);
    int failures = 0;
    for (long long k = 0;; ++k) {
      const Outcome outcome = callFailing(function, k, prhs);
      if (!outcome.injected) {
        // Past the call's last allocation: it ran normally.
        EXPECT_TRUE(outcome.succeeded);
        EXPECT_EQ(outcome.result, normal.result);
        break;
      }
      EXPECT_FALSE(outcome.succeeded) << "allocation " << k << " failed unnoticed";
      EXPECT_EQ(outcome.message, "Out of memory.") << "allocation " << k;
      ++failures;
    }
    EXPECT_GE(failures, 3);  // the result array, the cell buffer(s), the engine's tables
  }
}

}  // namespace
}  // namespace chaosmix::test

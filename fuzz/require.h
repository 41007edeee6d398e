#pragma once
// A broken expectation in a fuzz target: says which, then aborts, so that the fuzzer keeps the
// input as a finding.

#include <cstdio>
#include <cstdlib>

#define CHAOSMIX_FUZZ_REQUIRE(condition)                                                  \
  ((condition) ? (void)0                                                                  \
               : (std::fprintf(stderr, "%s:%d: expected %s\n", __FILE__, __LINE__, #condition), \
                  std::abort()))

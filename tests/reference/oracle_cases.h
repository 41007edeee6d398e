#pragma once
// The shapes, keys and round counts on which the library is compared with the oracle.

#include <chaosmix/key.h>

#include "tests/random_inputs.h"

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace chaosmix::reference::testing {

struct Shape {
  std::size_t rows, columns;
};

// Single cells, tiny images, primes, powers of two, odd shapes up to about 300 x 300.
inline std::vector<Shape> oracleShapes() {
  return {{1, 1},     {1, 2},     {2, 1},     {2, 3},     {1, 7},     {2, 4},
          {3, 3},     {9, 1},     {5, 7},     {1, 31},    {13, 17},   {4, 9},
          {31, 37},   {1, 997},   {64, 64},   {100, 100}, {50, 200},  {97, 101},
          {128, 256}, {256, 256}, {211, 1},   {251, 241}, {300, 300}, {299, 301},
          {60, 60},   {2, 1024},  {1, 65537}, {17, 289}};
}

using chaosmix::test::randomKey;
using chaosmix::test::randomOctets;

// How many random cases an unoptimised (sanitizer) build runs of the `count` an optimised one
// runs: the oracle is slow there, and the optimised build covers them all.
inline std::size_t scaledCount(std::size_t count) {
#ifdef NDEBUG
  return count;
#else
  return count < 4 ? 1 : count / 4;
#endif
}

// Keys that drive the schedules into their corner cases, then random ones.
inline std::vector<CipherKey> oracleKeys(std::mt19937& rng, std::size_t randomCount) {
  randomCount = scaledCount(randomCount);
  std::vector<CipherKey> keys;
  keys.push_back(CipherKey{});  // all zero: NaN map reals, restarted chains
  CipherKey ff{};
  ff.fill(0xFF);
  keys.push_back(ff);
  CipherKey ramp{};
  for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<std::uint8_t>(i * 17);
  keys.push_back(ramp);
  CipherKey negative{};
  negative.fill(0x80);
  keys.push_back(negative);
  for (std::size_t i = 0; i < randomCount; ++i) keys.push_back(randomKey(rng));
  return keys;
}

inline std::int32_t randomRounds(std::mt19937& rng) {
  return std::uniform_int_distribution<std::int32_t>(-3, 8)(rng);
}

}  // namespace chaosmix::reference::testing

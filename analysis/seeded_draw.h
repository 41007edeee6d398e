#pragma once
// Reproducible random choices: std::mt19937_64's output sequence is fixed by the C++ standard,
// and the draws below use only it (no distribution object, whose algorithm is left to each
// standard library), so a seed gives the same choices everywhere.

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace chaosmix::analysis {

// A uniform draw from 0..n-1 (n >= 1), by rejection.
inline std::uint64_t drawBelow(std::mt19937_64& rng, std::uint64_t n) {
  const std::uint64_t limit = UINT64_MAX - UINT64_MAX % n;
  std::uint64_t x = rng();
  while (x >= limit) x = rng();
  return x % n;
}

// `count` distinct values of 0..n-1 (count <= n), by a partial Fisher-Yates shuffle.
inline std::vector<std::size_t> drawDistinct(std::mt19937_64& rng, std::size_t n,
                                             std::size_t count) {
  std::vector<std::size_t> all(n);
  for (std::size_t i = 0; i < n; ++i) all[i] = i;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t j = i + static_cast<std::size_t>(drawBelow(rng, n - i));
    std::swap(all[i], all[j]);
  }
  all.resize(count);
  return all;
}

}  // namespace chaosmix::analysis

#include "cube/rounds.h"

#include "common/logistic.h"
#include "common/truncate.h"
#include "cube/permutation.h"

#include <algorithm>
#include <vector>

namespace chaosmix::cube {

void cubeKeystream(std::span<std::uint8_t> keystream, double logisticSeed) {
  constexpr double kFloor = 0.00001;
  constexpr double kLow = 0.2, kHigh = 0.8, kScale = 425.0;
  double x = logisticSeed;
  for (int i = 0; i < 200; ++i) x = logisticStep(x);
  for (std::uint8_t& out : keystream) {
    int counter = 20;
    do {
      if (!(x > kFloor)) x = kFloor;  // also catches NaN
      x = logisticStep(x);
      --counter;
    } while (!(x <= kHigh && x >= kLow && counter <= 0));
    out = truncateToOctet((x - kLow) * kScale);
  }
}

void forwardDiffusion(std::span<std::uint8_t> work, std::span<const std::uint8_t> keystream,
                      std::uint8_t seed) {
  unsigned chain = seed;
  for (std::size_t i = 0; i < work.size(); ++i) {
    const unsigned k = keystream[i];
    chain = ((work[i] + k) & 0xFFu) ^ k ^ chain;
    work[i] = static_cast<std::uint8_t>(chain);
  }
}

void inverseDiffusion(std::span<const std::uint8_t> pixels, std::span<std::uint8_t> work,
                      std::span<const std::uint8_t> keystream, std::uint8_t seed) {
  unsigned chain = seed;
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const unsigned k = keystream[i];
    work[i] = static_cast<std::uint8_t>(((pixels[i] ^ chain ^ k) - k + 256u) & 0xFFu);
    chain = pixels[i];
  }
}

namespace {

struct RoundTables {
  std::vector<std::uint32_t> permutation;
  std::vector<std::uint8_t> keystream;
};

RoundTables buildRoundTables(const CubeMapParams& params, std::size_t n) {
  RoundTables t{std::vector<std::uint32_t>(n), std::vector<std::uint8_t>(n)};
  buildCubePermutation(t.permutation, params);
  cubeKeystream(t.keystream, params.logisticSeed);
  return t;
}

}  // namespace

void cubeEncryptRounds(const CubeMapParams& params, std::span<std::uint8_t> pixels,
                       std::span<std::uint8_t> work, std::int32_t rounds) {
  const std::size_t n = pixels.size();
  const RoundTables t = buildRoundTables(params, n);
  for (std::int32_t r = 0; r < rounds; ++r) {
    // Scatter: the last of several sources sharing a target wins; unreached targets keep the
    // work buffer's previous content.
    for (std::size_t s = 0; s < n; ++s) work[t.permutation[s]] = pixels[s];
    forwardDiffusion(work, t.keystream, params.diffusionSeed);
    std::reverse_copy(work.begin(), work.end(), pixels.begin());
  }
}

void cubeDecryptRounds(const CubeMapParams& params, std::span<std::uint8_t> pixels,
                       std::span<std::uint8_t> work, std::int32_t rounds) {
  const std::size_t n = pixels.size();
  const RoundTables t = buildRoundTables(params, n);
  for (std::int32_t r = 0; r < rounds; ++r) {
    inverseDiffusion(pixels, work, t.keystream, params.diffusionSeed);
    for (std::size_t s = 0; s < n; ++s) pixels[s] = work[t.permutation[s]];
    if (r >= rounds - 1) {
      std::copy(pixels.begin(), pixels.end(), work.begin());
    } else {
      // The reversed buffer is the ciphertext of the previous encryption round.
      std::reverse_copy(pixels.begin(), pixels.end(), work.begin());
      std::copy(work.begin(), work.end(), pixels.begin());
    }
  }
}

}  // namespace chaosmix::cube

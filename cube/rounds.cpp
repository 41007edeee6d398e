#include "cube/rounds.h"

#include "common/logistic.h"
#include "common/truncate.h"
#include "cube/permutation.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace chaosmix::cube {

// Every octet takes at least 20 steps and then as many more as it takes to land in
// [0.2, 0.8]. The 20 steps run without looking at the values (a loop the branch predictor
// learns), and only then the window is tested, as one branch per further step; x carries over
// from octet to octet. The floor is a maximum: x stays if it is greater than 0.00001, NaN and
// smaller values become 0.00001. Written as a branch it would be compiled into a compare and
// blend on the chain's critical path.
void cubeKeystream(std::span<std::uint8_t> keystream, double logisticSeed) {
  constexpr double kFloor = 0.00001;
  constexpr double kLow = 0.2, kHigh = 0.8, kScale = 425.0;
  constexpr int kMinSteps = 20;
  const auto flooredStep = [](double v) { return logisticStep(v > kFloor ? v : kFloor); };
  double x = logisticSeed;
  for (int i = 0; i < 200; ++i) x = logisticStep(x);
  for (std::uint8_t& out : keystream) {
    for (int i = 0; i < kMinSteps; ++i) x = flooredStep(x);
    while (!((x >= kLow) & (x <= kHigh))) x = flooredStep(x);
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

// One diffusion step: chain <- ((v + k) mod 256) XOR k XOR chain.
inline unsigned diffuse(unsigned v, unsigned k, unsigned chain) {
  return ((v + k) & 0xFFu) ^ k ^ chain;
}

// One inverse diffusion step: ((c XOR chain XOR k) - k) mod 256.
inline std::uint8_t undiffuse(unsigned c, unsigned k, unsigned chain) {
  return static_cast<std::uint8_t>(((c ^ chain ^ k) - k + 256u) & 0xFFu);
}

}  // namespace

// A round is scatter, diffusion and reversal. With the scatter turned into a gather (the
// inverse table, built once), each round is one pass that reads every target's octet and
// diffuses it at once; the reversal of the round before is folded into the indices, so later
// rounds read the previous round's buffer at n - 1 - source. Unreached targets keep the work
// buffer's content: in the first round what the caller handed in, later the previous round's
// diffused octet at the same cell (index i itself). Rounds alternate between the two buffers.
void cubeEncryptRounds(const CubeMapParams& params, std::span<std::uint8_t> pixels,
                       std::span<std::uint8_t> work, std::int32_t rounds) {
  if (rounds <= 0) return;  // nothing is written; the tables would go unused
  const std::size_t n = pixels.size();
  const auto keystream = std::make_unique_for_overwrite<std::uint8_t[]>(n);
  cubeKeystream({keystream.get(), n}, params.logisticSeed);
  // Filled in full by the gather build, so taken without zero-filling.
  const auto index = std::make_unique_for_overwrite<std::uint32_t[]>(n);
  buildCubeGather({index.get(), n}, params);
  const std::uint8_t* k = keystream.get();
  const std::uint32_t last = static_cast<std::uint32_t>(n - 1);
  // First round, in place in the work buffer; turns the table into previous-buffer indices.
  unsigned chain = params.diffusionSeed;
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint32_t s = index[i];
    const bool reached = s != kCubeUnreached;
    const unsigned v = reached ? pixels[s] : work[i];
    chain = diffuse(v, k[i], chain);
    work[i] = static_cast<std::uint8_t>(chain);
    index[i] = reached ? last - s : static_cast<std::uint32_t>(i);
  }
  std::uint8_t* previous = work.data();
  std::uint8_t* next = pixels.data();
  for (std::int32_t r = 1; r < rounds; ++r) {
    chain = params.diffusionSeed;
    for (std::size_t i = 0; i < n; ++i) {
      chain = diffuse(previous[index[i]], k[i], chain);
      next[i] = static_cast<std::uint8_t>(chain);
    }
    std::swap(previous, next);
  }
  if (previous != work.data()) std::copy(previous, previous + n, work.data());
}

// Decryption round r undoes the diffusion (T = inverse diffusion of the ciphertext U), gathers
// S[s] = T[table[s]], and hands reverse(S) to the next round as its ciphertext. That next
// ciphertext is U'[i] = T[table[n - 1 - i]], so the gather, the reversal and the next inverse
// diffusion are one pass over T. The last round's gather writes the work buffer.
void cubeDecryptRounds(const CubeMapParams& params, std::span<std::uint8_t> pixels,
                       std::span<std::uint8_t> work, std::int32_t rounds) {
  if (rounds <= 0) return;  // nothing is written; the tables would go unused
  const std::size_t n = pixels.size();
  const auto keystream = std::make_unique_for_overwrite<std::uint8_t[]>(n);
  cubeKeystream({keystream.get(), n}, params.logisticSeed);
  const auto table = std::make_unique_for_overwrite<std::uint32_t[]>(n);
  buildCubePermutation({table.get(), n}, params);
  const std::uint8_t* k = keystream.get();
  // The buffers alternate so that the last round's T lies in the pixel buffer.
  std::uint8_t* current = rounds % 2 == 1 ? pixels.data() : work.data();
  std::uint8_t* other = rounds % 2 == 1 ? work.data() : pixels.data();
  // First inverse diffusion, from the ciphertext in the pixel buffer (in place when it stays).
  unsigned chain = params.diffusionSeed;
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned c = pixels[i];
    current[i] = undiffuse(c, k[i], chain);
    chain = c;
  }
  for (std::int32_t r = 1; r < rounds; ++r) {
    chain = params.diffusionSeed;
    for (std::size_t i = 0; i < n; ++i) {
      const unsigned c = current[table[n - 1 - i]];
      other[i] = undiffuse(c, k[i], chain);
      chain = c;
    }
    std::swap(current, other);
  }
  for (std::size_t s = 0; s < n; ++s) work[s] = current[table[s]];
}

}  // namespace chaosmix::cube

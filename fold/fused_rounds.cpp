#include "fold/fused_rounds.h"

#include "common/logistic.h"
#include "fold/fold_pass.h"
#include "fold/logistic_chain.h"

#include <algorithm>

namespace chaosmix::fold {

namespace {

constexpr double kGrayScale = 425.0;
constexpr double kColourScale = 27962025.0;

// The restart value of a chain that reached 1 and fell to 0, out of line: a call cannot be
// turned into a conditional move, which would put the test on the chain's critical path.
[[gnu::noinline, gnu::cold]] double restartedChain() { return kChainRestart; }

// One keystream chain with its write position. Every step writes the slot under the cursor and
// moves on only when the value lies in the window, so the accept decision is arithmetic, not a
// branch: the chain's values are unpredictable, and a branch on them would be mispredicted at
// every other step. The only work on the chain's critical path is the logistic step; a step
// that yields exactly 0 (a chain that reached 1) is spent and restarts the chain from 0.5001,
// through a branch that is never taken on terminating chains.
template <typename T>
struct ChainCursor {
  double x;
  T* out;
  T* end;
  double scale;

  bool done() const { return out == end; }

  void step() {
    const double raw = logisticStep(x);
    const bool accepted = (raw >= kWindowLow) & (raw <= kWindowHigh);
    // The chain stays in [0, 1] (the start is guarded into (0, 1), a step maps [0, 1] into
    // itself and the restart value lies inside), so the scaled value lies in -0.2 * scale ..
    // 0.8 * scale and converts to 32 bits without a range test. For accepted values it is
    // truncate((x - 0.2) * scale); the others are overwritten by the next step.
    *out = static_cast<T>(static_cast<std::int32_t>((raw - kWindowLow) * scale));
    out += accepted;
    x = raw;
    if (__builtin_expect(raw == 0.0, 0)) x = restartedChain();
  }
};

template <typename T>
ChainCursor<T> cursor(double logisticSeed, std::span<T> out, double scale) {
  return {guardSeed(logisticSeed), out.data(), out.data() + out.size(), scale};
}

template <typename T>
void fillOne(double logisticSeed, double scale, std::span<T> out) {
  ChainCursor<T> a = cursor(logisticSeed, out, scale);
  while (!a.done()) a.step();
}

template <typename T>
void fillTwo(double seedA, double seedB, double scale, std::span<T> outA, std::span<T> outB) {
  ChainCursor<T> a = cursor(seedA, outA, scale);
  ChainCursor<T> b = cursor(seedB, outB, scale);
  while (!a.done() && !b.done()) {
    a.step();
    b.step();
  }
  while (!a.done()) a.step();
  while (!b.done()) b.step();
}

// 32-bit two's complement arithmetic, wrapping on overflow.
inline std::int32_t wrappingAdd(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// The diffusion of foldPass: gray v = (s + t) rem 256 (sign of the sum), y = v ^ t ^ b;
// colour y = t ^ s ^ b. Undoing it: gray ((y ^ t ^ b) - t + 256) rem 256 (sign of the value);
// colour t ^ y ^ b.
inline std::int32_t diffuse(std::int32_t s, std::int32_t t, std::int32_t b, std::uint8_t) {
  return (wrappingAdd(s, t) % 256) ^ t ^ b;
}
inline std::int32_t diffuse(std::int32_t s, std::int32_t t, std::int32_t b, std::int32_t) {
  return t ^ s ^ b;
}
inline std::int32_t undiffuse(std::int32_t y, std::int32_t t, std::int32_t b, std::uint8_t) {
  return wrappingAdd(wrappingAdd(y ^ t ^ b, -t), 256) % 256;
}
inline std::int32_t undiffuse(std::int32_t y, std::int32_t t, std::int32_t b, std::int32_t) {
  return t ^ y ^ b;
}

template <typename T>
void encryptRoundImpl(std::span<const std::int32_t> in, std::span<std::int32_t> out,
                      const BoxShape& box, const FoldRoundKey& roundKey,
                      std::span<const T> keystream) {
  const std::int32_t* source = in.data();
  std::int32_t* target = out.data();
  const T* t = keystream.data();
  std::int32_t b = roundKey.diffusionSeed;
  forEachFoldPosition(box, roundKey.qStripes, roundKey.pStripes,
                      [&](std::size_t w, std::size_t cell) {
                        b = diffuse(source[cell], t[w], b, T{});
                        target[w] = b;
                      });
}

template <typename T>
void decryptRoundImpl(std::span<const std::int32_t> in, std::span<std::int32_t> out,
                      const BoxShape& box, const FoldRoundKey& roundKey,
                      std::span<const T> keystream) {
  const std::int32_t* source = in.data();
  std::int32_t* target = out.data();
  const T* t = keystream.data();
  std::int32_t b = roundKey.diffusionSeed;
  forEachFoldPosition(box, roundKey.qStripes, roundKey.pStripes,
                      [&](std::size_t w, std::size_t cell) {
                        const std::int32_t y = source[w];
                        target[cell] = undiffuse(y, t[w], b, T{});
                        b = y;
                      });
}

}  // namespace

void fillPassKeystream(double logisticSeed, std::span<std::uint8_t> gray) {
  fillOne(logisticSeed, kGrayScale, gray);
}
void fillPassKeystream(double logisticSeed, std::span<std::int32_t> colour) {
  fillOne(logisticSeed, kColourScale, colour);
}
void fillPassKeystreams(double seedA, double seedB, std::span<std::uint8_t> grayA,
                        std::span<std::uint8_t> grayB) {
  fillTwo(seedA, seedB, kGrayScale, grayA, grayB);
}
void fillPassKeystreams(double seedA, double seedB, std::span<std::int32_t> colourA,
                        std::span<std::int32_t> colourB) {
  fillTwo(seedA, seedB, kColourScale, colourA, colourB);
}

void encryptRound(std::span<const std::int32_t> in, std::span<std::int32_t> out,
                  const BoxShape& box, const FoldRoundKey& roundKey,
                  std::span<const std::uint8_t> grayKeystream) {
  encryptRoundImpl(in, out, box, roundKey, grayKeystream);
}
void encryptRound(std::span<const std::int32_t> in, std::span<std::int32_t> out,
                  const BoxShape& box, const FoldRoundKey& roundKey,
                  std::span<const std::int32_t> colourKeystream) {
  encryptRoundImpl(in, out, box, roundKey, colourKeystream);
}
void decryptRound(std::span<const std::int32_t> in, std::span<std::int32_t> out,
                  const BoxShape& box, const FoldRoundKey& roundKey,
                  std::span<const std::uint8_t> grayKeystream) {
  decryptRoundImpl(in, out, box, roundKey, grayKeystream);
}
void decryptRound(std::span<const std::int32_t> in, std::span<std::int32_t> out,
                  const BoxShape& box, const FoldRoundKey& roundKey,
                  std::span<const std::int32_t> colourKeystream) {
  decryptRoundImpl(in, out, box, roundKey, colourKeystream);
}

}  // namespace chaosmix::fold

#include "fold/round_key.h"

#include "common/logistic.h"
#include "common/truncate.h"
#include "fold/logistic_chain.h"
#include "fold/seeded_generator.h"

#include <algorithm>

namespace chaosmix::fold {

namespace {

constexpr double kTwoToMinus24 = 5.9604644775390625e-08;
constexpr double kWidthScale = 1.6666666666666667;  // 0x3FFAAAAAAAAAAAAB
constexpr std::int32_t kMaxStripe = 30;
constexpr std::int32_t kMinStripePasses = 5;

std::int8_t signedOctet(const CipherKey& key, std::size_t i) {
  return static_cast<std::int8_t>(key[i]);
}

// The start value of the chain fed by octets a, a + 1, a + 2, after `warmUp` logistic steps
// (none when 0 or below).
double chainStart(const CipherKey& key, std::size_t a, std::int32_t warmUp) {
  double x =
      guardSeed(keySeed(signedOctet(key, a), signedOctet(key, a + 1), signedOctet(key, a + 2)));
  for (std::int32_t i = 0; i < warmUp; ++i) x = logisticStep(x);
  return x;
}

}  // namespace

double keySeed(std::int8_t a, std::int8_t b, std::int8_t c) {
  const std::int32_t combined = (a * 256 + b) * 256 + c;
  return combined * kTwoToMinus24;
}

void drawStripes(double x, std::int32_t extent, std::vector<std::int32_t>& stripes) {
  stripes.clear();
  std::int32_t remainder = extent;
  do {
    const double value = drawInWindow(x);
    const std::int32_t cap = std::min(remainder, kMaxStripe);
    const std::int32_t width = truncateToInt32(((value - kWindowLow) * cap) * kWidthScale);
    if (width > 0) {
      stripes.push_back(width);
      remainder -= width;
    }
  } while (remainder > 1);
  if (remainder == 1) stripes.push_back(1);
}

void expandRoundKey(const CipherKey& key, std::int32_t Q, std::int32_t P, CellKind kind,
                    FoldRoundKey& roundKey) {
  drawStripes(chainStart(key, 0, signedOctet(key, 0) + 50), Q, roundKey.qStripes);
  drawStripes(chainStart(key, 3, signedOctet(key, 3) + 50), P, roundKey.pStripes);
  roundKey.logisticSeed = chainStart(key, 6, signedOctet(key, 6) + 100);

  const std::int32_t s9 = signedOctet(key, 9), s10 = signedOctet(key, 10),
                     s11 = signedOctet(key, 11);
  roundKey.diffusionSeed = kind == CellKind::gray ? (s9 ^ s10 ^ s11) : (s9 * 256 + s10) * 256 + s11;

  const std::int32_t shuffleSeed = signedOctet(key, 12) * 256 + signedOctet(key, 13);
  const std::int32_t passes =
      std::max<std::int32_t>(signedOctet(key, 14) + signedOctet(key, 15), kMinStripePasses);
  shuffleSequence(roundKey.qStripes, shuffleSeed, passes);
  shuffleSequence(roundKey.pStripes, shuffleSeed, passes);
}

}  // namespace chaosmix::fold

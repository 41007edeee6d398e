// Measures the key-space figures of the README's security section (not a test: it prints).
//   key_space_survey [random keys] [degenerate keys]
// Defaults: 4,000,000 random keys and 2,000,000 keys with a degenerate scramble table for the
// cube cipher; the fold cipher's chain start values are counted over all 2^24 octet triples.

#include "key_space.h"

#include "common/logistic.h"
#include "fold/logistic_chain.h"
#include "fold/round_key.h"

#include "cube/key_schedule.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_set>

using namespace chaosmix;
using namespace chaosmix::test;

namespace {

void surveyCube(long randomKeys, long degenerateKeys) {
  std::mt19937_64 rng(1);
  std::unordered_set<std::uint64_t> all, degenerateOutputs;
  long degenerate = 0, zeroPair = 0;
  for (long i = 0; i < randomKeys; ++i) {
    const CipherKey key = randomKey(rng);
    all.insert(packedScrambledKey(key));
    if (hasDegenerateScrambleTable(key)) ++degenerate;
    const auto s = cube::scrambleKeyBits(key);
    for (int p = 0; p < 8; ++p)
      if (s[2 * p] == 0 && s[2 * p + 1] == 0) {
        ++zeroPair;
        break;
      }
  }
  std::printf("cube: %ld random keys: %zu distinct scrambled keys; %.2f %% with a degenerate "
              "table; %.2f %% with a zero octet pair\n",
              randomKeys, all.size(), 100.0 * degenerate / randomKeys,
              100.0 * zeroPair / randomKeys);
  for (long found = 0; found < degenerateKeys;) {
    const CipherKey key = randomKey(rng);
    if (!hasDegenerateScrambleTable(key)) continue;
    ++found;
    degenerateOutputs.insert(packedScrambledKey(key));
  }
  std::printf("cube: %ld keys with a degenerate table: %zu distinct scrambled keys\n",
              degenerateKeys, degenerateOutputs.size());
}

void surveyFold() {
  for (const int warmUp : {50, 100}) {
    std::unordered_set<std::uint64_t> values;
    values.reserve(1u << 24);
    for (int a = -128; a < 128; ++a)
      for (int b = -128; b < 128; ++b)
        for (int c = -128; c < 128; ++c) {
          double x = fold::guardSeed(fold::keySeed(static_cast<std::int8_t>(a),
                                                   static_cast<std::int8_t>(b),
                                                   static_cast<std::int8_t>(c)));
          for (int i = 0; i < a + warmUp; ++i) x = logisticStep(x);
          std::uint64_t bits;
          std::memcpy(&bits, &x, sizeof bits);
          values.insert(bits);
        }
    std::printf("fold: chain starts after the warm-up s(a) + %d: %zu distinct (2^%.2f)\n",
                warmUp, values.size(), std::log2(static_cast<double>(values.size())));
  }
  std::unordered_set<int> passCounts, graySeeds;
  for (int a = -128; a < 128; ++a)
    for (int b = -128; b < 128; ++b) passCounts.insert(a + b < 5 ? 5 : a + b);
  for (int a = -128; a < 128; ++a)
    for (int b = -128; b < 128; ++b)
      for (int c = -128; c < 128; ++c) graySeeds.insert(a ^ b ^ c);
  std::printf("fold: %zu pass counts, %zu gray diffusion seeds\n", passCounts.size(),
              graySeeds.size());
}

}  // namespace

int main(int argc, char** argv) {
  const long randomKeys = argc > 1 ? std::atol(argv[1]) : 4000000;
  const long degenerateKeys = argc > 2 ? std::atol(argv[2]) : 2000000;
  surveyCube(randomKeys, degenerateKeys);
  surveyFold();
  return 0;
}

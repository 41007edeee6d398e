// Keys whose logistic chains land exactly on 1 (and so fall to 0, where a naive draw loop would
// spin for ever) run through the fold deliverables: every call ends, gives the reference
// implementation's octets, and decrypts back to the image. Each call runs in a child process
// with a deadline, so a hang fails the test instead of stalling the suite.

#include "child_process.h"
#include "deliverables.h"
#include "reference.h"

#include "common/logistic.h"
#include "fold/logistic_chain.h"
#include "fold/round_key.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace chaosmix::test {
namespace {

using host::ArrayPtr;

// Steps from the chain start of three key octets until the chain is exactly 1; the step count,
// or 0 when it does not happen within `steps`.
int stepsOntoOne(std::uint8_t a, std::uint8_t b, std::uint8_t c, int steps) {
  double x = fold::guardSeed(fold::keySeed(static_cast<std::int8_t>(a),
                                           static_cast<std::int8_t>(b),
                                           static_cast<std::int8_t>(c)));
  for (int i = 1; i <= steps; ++i) {
    x = logisticStep(x);
    if (x == 1.0) return i;
  }
  return 0;
}

// Octets 0..2: the first stripe chain lands on 1 at step 81 of its 114 warm-up steps, so its
// draws start from 0. Octets 3..5: the second stripe chain, at step 112 of 124. Octets 6..8:
// the keystream chain, at its 4th draw after 204 warm-up steps. Octets 13..15, reversed in the
// second round, make that round's first stripe chain land on 1 as well.
constexpr CipherKey kOntoOne = {64, 128, 156, 74, 147, 8, 104, 127, 56,
                                9,  10,  11,  12, 156, 128, 64};

TEST(ChainOntoOne, TheKeysReallyDriveTheChainsOntoOne) {
  EXPECT_EQ(stepsOntoOne(64, 128, 156, 114), 81);
  EXPECT_EQ(stepsOntoOne(74, 147, 8, 124), 112);
  const int keystream = stepsOntoOne(104, 127, 56, 204 + 10);
  EXPECT_GT(keystream, 204);  // past the warm-up: while drawing the keystream
}

struct Case {
  std::vector<mwSize> dims;
  std::int32_t rounds;
};

TEST(ChainOntoOne, FoldDeliverablesEndAndRoundTrip) {
  const Case cases[] = {{{7, 9}, 1}, {{7, 9}, 2}, {{7, 9}, 3}, {{5, 6, 3}, 1}, {{5, 6, 3}, 2},
                        {{1, 1}, 1}, {{31, 1}, 2}};
  const host::MexFunction mix = deliverable("foldmix");
  const host::MexFunction unmix = deliverable("foldunmix");
  for (const Case& c : cases) {
    const std::size_t rows = c.dims[0], columns = c.dims[1];
    const std::size_t planes = c.dims.size() == 3 ? c.dims[2] : 1;
    SCOPED_TRACE(testing::Message() << rows << " x " << columns << " x " << planes << ", "
                                    << c.rounds << " rounds");
    std::vector<std::uint8_t> octets(rows * columns * planes);
    for (std::size_t i = 0; i < octets.size(); ++i)
      octets[i] = static_cast<std::uint8_t>(i * 37 + 11);
    const CellKind kind = planes == 3 ? CellKind::colour : CellKind::gray;
    const auto expected = reference::foldEncrypt(octets, rows, columns, kind, c.rounds, kOntoOne);

    const ChildOutcome outcome = runInChild(
        [&](const auto& report) {
          const ArrayPtr image =
              host::makeDouble(c.dims, std::vector<double>(octets.begin(), octets.end()));
          const ArrayPtr rounds = host::makeScalar(c.rounds);
          const ArrayPtr key = host::makeRow(std::vector<double>(kOntoOne.begin(), kOntoOne.end()));
          const mxArray* args[] = {image.get(), rounds.get(), key.get()};
          const ArrayPtr cipher = host::callMex(mix, 1, args);
          const auto values = host::valuesOf(*cipher);
          if (!std::equal(values.begin(), values.end(), expected.begin(), expected.end()))
            report("foldmix differs from the reference");
          const mxArray* back[] = {cipher.get(), rounds.get(), key.get()};
          const ArrayPtr plain = host::callMex(unmix, 1, back);
          const auto restored = host::valuesOf(*plain);
          if (!std::equal(restored.begin(), restored.end(), octets.begin(), octets.end()))
            report("foldunmix does not restore the image");
          return 0;
        },
        0, std::chrono::seconds(60));
    EXPECT_TRUE(outcome.exited) << "the call did not end (signal " << outcome.signal << ")";
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.report, "");
  }
}

}  // namespace
}  // namespace chaosmix::test

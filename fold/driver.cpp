#include "fold/driver.h"

#include "fold/box_shape.h"
#include "fold/fold_pass.h"
#include "fold/round_key.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <vector>

namespace chaosmix::fold {

namespace {

std::int32_t signedOctet(const CipherKey& key, std::size_t i) {
  return static_cast<std::int8_t>(key[i]);
}

// Everything a call keeps for all its rounds: the box, formed once from octets 12 to 15 of the
// key on entry, and the round key whose stripe storage (Q and P entries) and the pass scratch
// are taken once and reused by every round.
struct RoundState {
  BoxShape box;
  FoldRoundKey roundKey;
  std::vector<std::int32_t> scratch;
};

RoundState prepareRounds(std::span<std::int32_t> cells, const CipherKey& key, std::int32_t M,
                         std::int32_t N) {
  const std::int64_t n = static_cast<std::int64_t>(M) * N;
  if (n < 1 || n > std::numeric_limits<std::int32_t>::max() ||
      cells.size() != static_cast<std::size_t>(n))
    throw std::invalid_argument("fold cipher: the cell buffer must hold M x N >= 1 cells");
  const std::int32_t shuffleSeed = 256 * signedOctet(key, 12) + signedOctet(key, 13);
  const std::int32_t shufflePasses = signedOctet(key, 14) + signedOctet(key, 15);
  RoundState state;
  state.box = makeBoxShape(N, M, shuffleSeed, shufflePasses);
  state.roundKey.qStripes.reserve(static_cast<std::size_t>(state.box.Q));
  state.roundKey.pStripes.reserve(static_cast<std::size_t>(state.box.P));
  state.scratch.resize(cells.size());
  return state;
}

void runRound(std::span<std::int32_t> cells, const CipherKey& key, CellKind kind,
              PassDirection direction, RoundState& state) {
  expandRoundKey(key, state.box.Q, state.box.P, kind, state.roundKey);
  foldPass(cells, state.box, state.roundKey, kind, direction, state.scratch);
}

}  // namespace

void reverseKey(CipherKey& key) { std::reverse(key.begin(), key.end()); }

void foldEncryptRounds(std::span<std::int32_t> cells, CipherKey& key, std::int32_t M,
                       std::int32_t N, CellKind kind, std::int32_t rounds) {
  RoundState state = prepareRounds(cells, key, M, N);
  for (std::int32_t round = 0; round < rounds; ++round) {
    runRound(cells, key, kind, PassDirection::encrypt, state);
    reverseKey(key);
  }
}

void foldDecryptRounds(std::span<std::int32_t> cells, CipherKey& key, std::int32_t M,
                       std::int32_t N, CellKind kind, std::int32_t rounds) {
  RoundState state = prepareRounds(cells, key, M, N);
  // Enter the loop holding the key of the last encrypting round but one reversal ahead, so
  // the round keys come last to first; odd negative counts reverse here too and run no round.
  if (rounds % 2 != 0) reverseKey(key);
  for (std::int32_t round = 0; round < rounds; ++round) {
    reverseKey(key);
    runRound(cells, key, kind, PassDirection::decrypt, state);
  }
}

}  // namespace chaosmix::fold

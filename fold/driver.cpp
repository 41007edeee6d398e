#include "fold/driver.h"

#include "fold/box_shape.h"
#include "fold/fused_rounds.h"
#include "fold/round_key.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <stdexcept>

namespace chaosmix::fold {

namespace {

std::int32_t signedOctet(const CipherKey& key, std::size_t i) {
  return static_cast<std::int8_t>(key[i]);
}

// The box, formed once from octets 12 to 15 of the key on entry.
BoxShape boxOf(std::span<std::int32_t> cells, const CipherKey& key, std::int32_t M,
               std::int32_t N) {
  const std::int64_t n = static_cast<std::int64_t>(M) * N;
  if (n < 1 || n > std::numeric_limits<std::int32_t>::max() ||
      cells.size() != static_cast<std::size_t>(n))
    throw std::invalid_argument("fold cipher: the cell buffer must hold M x N >= 1 cells");
  const std::int32_t shuffleSeed = 256 * signedOctet(key, 12) + signedOctet(key, 13);
  const std::int32_t shufflePasses = signedOctet(key, 14) + signedOctet(key, 15);
  return makeBoxShape(N, M, shuffleSeed, shufflePasses);
}

CipherKey reversed(CipherKey key) {
  reverseKey(key);
  return key;
}

// Round j of an encryption (j = 1, 2, ...) expands its round key from the key on entry K when j
// is odd and from its reversal K' when j is even; decryption meets the same round keys last to
// first. So a call needs at most two round keys, and their keystreams (the costly part: a
// serial chain of logistic steps per cell) are drawn once, the two chains in one loop. Every
// round is then one pass from one cell buffer into the other. T is the keystream value type.
template <typename T>
class TwoKeyRounds {
 public:
  TwoKeyRounds(std::span<std::int32_t> cells, const BoxShape& box, const CipherKey& key,
               CellKind kind, bool needsReversedKey)
      : cells_(cells), box_(box), n_(cells.size()) {
    expandRoundKey(key, box.Q, box.P, kind, keys_[0]);
    streams_[0] = std::make_unique_for_overwrite<T[]>(n_);
    if (needsReversedKey) {
      expandRoundKey(reversed(key), box.Q, box.P, kind, keys_[1]);
      streams_[1] = std::make_unique_for_overwrite<T[]>(n_);
      fillPassKeystreams(keys_[0].logisticSeed, keys_[1].logisticSeed, stream(0), stream(1));
    } else {
      fillPassKeystream(keys_[0].logisticSeed, stream(0));
    }
    other_ = std::make_unique_for_overwrite<std::int32_t[]>(n_);
  }

  // Runs the passes with the round keys in the given order (0: K, 1: K') and leaves the result
  // in the caller's cells.
  template <typename Order>
  void run(std::int32_t rounds, bool encrypt, Order keyOfPass) {
    std::int32_t* current = cells_.data();
    std::int32_t* next = other_.get();
    for (std::int32_t pass = 0; pass < rounds; ++pass) {
      const int k = keyOfPass(pass);
      const std::span<const std::int32_t> in(current, n_);
      const std::span<std::int32_t> out(next, n_);
      if (encrypt)
        encryptRound(in, out, box_, keys_[k], stream(k));
      else
        decryptRound(in, out, box_, keys_[k], stream(k));
      std::swap(current, next);
    }
    if (current != cells_.data()) std::copy(current, current + n_, cells_.data());
  }

 private:
  std::span<T> stream(int k) { return {streams_[k].get(), n_}; }

  std::span<std::int32_t> cells_;
  BoxShape box_;
  std::size_t n_;
  FoldRoundKey keys_[2];
  std::unique_ptr<T[]> streams_[2];
  std::unique_ptr<std::int32_t[]> other_;
};

template <typename T>
void encryptPasses(std::span<std::int32_t> cells, const BoxShape& box, const CipherKey& key,
                   CellKind kind, std::int32_t rounds) {
  TwoKeyRounds<T> state(cells, box, key, kind, rounds >= 2);
  state.run(rounds, true, [](std::int32_t pass) { return pass % 2; });
}

template <typename T>
void decryptPasses(std::span<std::int32_t> cells, const BoxShape& box, const CipherKey& key,
                   CellKind kind, std::int32_t rounds) {
  TwoKeyRounds<T> state(cells, box, key, kind, rounds >= 2);
  // Decrypting pass i (0-based) undoes encrypting round rounds - i, whose key is K when that
  // round number is odd.
  state.run(rounds, false, [rounds](std::int32_t pass) { return (rounds - pass) % 2 == 1 ? 0 : 1; });
}

}  // namespace

void reverseKey(CipherKey& key) { std::reverse(key.begin(), key.end()); }

void foldEncryptRounds(std::span<std::int32_t> cells, CipherKey& key, std::int32_t M,
                       std::int32_t N, CellKind kind, std::int32_t rounds) {
  const BoxShape box = boxOf(cells, key, M, N);
  if (rounds <= 0) return;
  if (kind == CellKind::gray)
    encryptPasses<std::uint8_t>(cells, box, key, kind, rounds);
  else
    encryptPasses<std::int32_t>(cells, box, key, kind, rounds);
  // The key is reversed after every round: an odd count leaves it reversed.
  if (rounds % 2 != 0) reverseKey(key);
}

void foldDecryptRounds(std::span<std::int32_t> cells, CipherKey& key, std::int32_t M,
                       std::int32_t N, CellKind kind, std::int32_t rounds) {
  const BoxShape box = boxOf(cells, key, M, N);
  if (rounds <= 0) {
    // The reversal before the loop still happens for odd negative counts.
    if (rounds % 2 != 0) reverseKey(key);
    return;
  }
  if (kind == CellKind::gray)
    decryptPasses<std::uint8_t>(cells, box, key, kind, rounds);
  else
    decryptPasses<std::int32_t>(cells, box, key, kind, rounds);
  // One reversal before the loop when the count is odd, one per round: the key comes back
  // unchanged.
}

}  // namespace chaosmix::fold

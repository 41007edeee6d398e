#pragma once
// The fold cipher's round drivers: the box is formed once from the key, then every round
// expands a round key from the key octets as they stand, runs one fold pass over the cells and
// reverses the key octets (the decrypting driver in the mirrored order).

#include <chaosmix/fold.h>
#include <chaosmix/key.h>

#include <cstdint>
#include <span>

namespace chaosmix::fold {

// Encrypts the M x N cells in place with `rounds` fold passes. cells.size() must be M * N, at
// least 1. The key is reversed in place between rounds: on return it is reversed when rounds is
// odd and 1 or more, unchanged otherwise. A round count below 1 leaves the cells unchanged.
void foldEncryptRounds(std::span<std::int32_t> cells, CipherKey& key, std::int32_t M,
                       std::int32_t N, CellKind kind, std::int32_t rounds);

// Undoes foldEncryptRounds with the same key, M, N, kind and round count. On return the key is
// unchanged for rounds of 1 or more and for even counts, reversed for odd negative counts.
void foldDecryptRounds(std::span<std::int32_t> cells, CipherKey& key, std::int32_t M,
                       std::int32_t N, CellKind kind, std::int32_t rounds);

// Exchanges key octets i and 15 - i for i = 0..7; applying it twice restores the key.
void reverseKey(CipherKey& key);

}  // namespace chaosmix::fold

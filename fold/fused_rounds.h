#pragma once
// The fast form of the fold rounds, used by the round drivers. A call has only two distinct
// round keys (one from the key on entry, one from its reversal), so their keystreams are
// drawn once, both chains in one loop, and every round is a single pass that walks the fold
// order and diffuses at the same time, from one cell buffer into another. The results are
// those of foldPass, round for round.

#include "fold/box_shape.h"
#include "fold/round_key.h"

#include <chaosmix/fold.h>

#include <cstdint>
#include <span>

namespace chaosmix::fold {

// The pass keystream of a round key (what PassKeystream yields, value by value), one or two at
// once: with two seeds the chains advance in the same loop so that their latencies overlap.
// Gray values (0..255) fit an octet, colour values (0..16777215) need 32 bits.
void fillPassKeystream(double logisticSeed, std::span<std::uint8_t> gray);
void fillPassKeystream(double logisticSeed, std::span<std::int32_t> colour);
void fillPassKeystreams(double seedA, double seedB, std::span<std::uint8_t> grayA,
                        std::span<std::uint8_t> grayB);
void fillPassKeystreams(double seedA, double seedB, std::span<std::int32_t> colourA,
                        std::span<std::int32_t> colourB);

// One encrypting pass: out[w] = the diffused value of in[cell at fold position w].
// in and out hold P*Q*R cells and must not overlap; keystream holds the round key's values.
void encryptRound(std::span<const std::int32_t> in, std::span<std::int32_t> out,
                  const BoxShape& box, const FoldRoundKey& roundKey,
                  std::span<const std::uint8_t> grayKeystream);
void encryptRound(std::span<const std::int32_t> in, std::span<std::int32_t> out,
                  const BoxShape& box, const FoldRoundKey& roundKey,
                  std::span<const std::int32_t> colourKeystream);

// One decrypting pass: out[cell at fold position w] = the undiffused value of in[w].
void decryptRound(std::span<const std::int32_t> in, std::span<std::int32_t> out,
                  const BoxShape& box, const FoldRoundKey& roundKey,
                  std::span<const std::uint8_t> grayKeystream);
void decryptRound(std::span<const std::int32_t> in, std::span<std::int32_t> out,
                  const BoxShape& box, const FoldRoundKey& roundKey,
                  std::span<const std::int32_t> colourKeystream);

}  // namespace chaosmix::fold

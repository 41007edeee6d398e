#pragma once
// The fold cipher's round key expansion: one round's stripe lists, keystream start and chain
// start, derived from the key octets as they stand at that round.

#include <chaosmix/fold.h>
#include <chaosmix/key.h>

#include <cstdint>
#include <vector>

namespace chaosmix::fold {

struct FoldRoundKey {
  std::vector<std::int32_t> qStripes;  // widths 1..30 cutting the extent Q, summing to Q
  std::vector<std::int32_t> pStripes;  // widths 1..30 cutting the extent P, summing to P
  double logisticSeed = 0.0;           // start of the round's diffusion keystream
  std::int32_t diffusionSeed = 0;      // start of the round's diffusion chain
};

// ((a * 256 + b) * 256 + c) * 2^-24 for three octets read as signed 8-bit values (exact).
double keySeed(std::int8_t a, std::int8_t b, std::int8_t c);

// Clears the list and fills it with stripe widths that cut the extent: each accepted chain
// value x in [0.2, 0.8] gives the width truncate(((x - 0.2) * cap) * 1.6666666666666667), cap
// being the remainder or 30 if larger; widths of 0 are dropped; a remainder of exactly 1 ends
// the list with a width of 1. Appends no more than `extent` entries (at least one draw is made
// even for an extent of 1 or less).
void drawStripes(double x, std::int32_t extent, std::vector<std::int32_t>& stripes);

// Expands the round key from the key octets (read as signed values) for the box extents Q and
// P, refilling roundKey's stripe lists in place: storage reserved for Q and P entries is reused
// without allocating. Reads the key, never changes it.
void expandRoundKey(const CipherKey& key, std::int32_t Q, std::int32_t P, CellKind kind,
                    FoldRoundKey& roundKey);

}  // namespace chaosmix::fold

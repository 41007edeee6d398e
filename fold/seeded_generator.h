#pragma once
// The fold cipher's seeded generator (a 32-bit linear congruential generator) and the shuffle
// built on it, which reorders the box's factors and every round's stripe lists.

#include <cstdint>
#include <span>

namespace chaosmix::fold {

// One 32-bit state word; every use seeds it before drawing.
struct SeededGenerator {
  std::uint32_t state = 0;
};

// The state becomes the 32-bit two's complement pattern of value.
void seed(SeededGenerator& generator, std::int32_t value);

// state <- state * 214013 + 2531011 (mod 2^32); returns bits 16 to 30 of the new state,
// 0..32767.
std::int32_t draw(SeededGenerator& generator);

// Shuffles the values in place over shufflePasses passes (none when 0 or below). Each pass
// seeds a generator with s (shuffleSeed for the first pass), draws the next pass's s, then for
// j = 0, 1, ... draws r and exchanges positions j and k = (j * r) / 32767. The product is formed
// in 64 bits, so k stays within 0..j for lists of any length.
void shuffleSequence(std::span<std::int32_t> values, std::int32_t shuffleSeed,
                     std::int32_t shufflePasses);

}  // namespace chaosmix::fold

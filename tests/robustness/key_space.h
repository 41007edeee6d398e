#pragma once
// Measuring the key space: how many distinct values the key schedules can produce.

#include <chaosmix/key.h>

#include <cstdint>
#include <random>

#include "tests/random_inputs.h"  // randomKey

namespace chaosmix::test {

// The cube cipher's scramble builds its index table from the key's even- and odd-position
// octet sums; when the row step e * o + 1 is a multiple of 11, every row of the table is the
// same.
bool hasDegenerateScrambleTable(const CipherKey& key);

// The scrambled key packed into 64 bits: each scrambled octet keeps only bits 0, 1, 3 and 6.
std::uint64_t packedScrambledKey(const CipherKey& key);

}  // namespace chaosmix::test

#include "key_space.h"

#include "cube/key_schedule.h"

namespace chaosmix::test {

bool hasDegenerateScrambleTable(const CipherKey& key) {
  std::uint32_t even = 0, odd = 0;
  for (std::size_t q = 0; q < key.size(); q += 2) {
    even += key[q];
    odd += key[q + 1];
  }
  return ((even / 8) * (odd / 8) + 1) % 11 == 0;
}

std::uint64_t packedScrambledKey(const CipherKey& key) {
  std::uint64_t packed = 0;
  for (const std::uint8_t o : cube::scrambleKeyBits(key)) {
    const unsigned nibble = (o & 3u) | ((o >> 3) & 1u) << 2 | ((o >> 6) & 1u) << 3;
    packed = packed << 4 | nibble;
  }
  return packed;
}

}  // namespace chaosmix::test

#pragma once
// The 16-octet cipher key shared by both ciphers.

#include <array>
#include <cstdint>

namespace chaosmix {

inline constexpr std::size_t kKeyOctets = 16;

// Key octets in the order the host's key argument is read row by row. The cube cipher reads
// them as unsigned values, the fold cipher as signed 8-bit values.
using CipherKey = std::array<std::uint8_t, kKeyOctets>;

}  // namespace chaosmix

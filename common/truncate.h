#pragma once
// Real-to-integer conversion as the ciphers define it.

#include <cstdint>
#include <limits>

namespace chaosmix {

// Truncates toward zero to a signed 64-bit integer. NaN, an infinity or a magnitude of 2^63 or
// more gives -2^63 (the x86 "integer indefinite" value), whose low 32 and low 8 bits are 0.
inline std::int64_t truncateToInt64(double v) {
  constexpr double kLimit = 9223372036854775808.0;  // 2^63
  if (!(v > -kLimit && v < kLimit)) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(v);
}

// The low 32 bits of the truncated value, read as a signed integer.
inline std::int32_t truncateToInt32(double v) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(truncateToInt64(v)));
}

// The low 8 bits of the truncated value.
inline std::uint8_t truncateToOctet(double v) {
  return static_cast<std::uint8_t>(static_cast<std::uint64_t>(truncateToInt64(v)));
}

}  // namespace chaosmix

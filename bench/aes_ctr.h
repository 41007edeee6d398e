#pragma once
// AES-128-CTR from OpenSSL, for context: what a user would pick for confidentiality.

#include <cstdint>
#include <span>
#include <vector>

namespace chaosmix::bench {

// Encrypts the octets with AES-128 in counter mode (fixed key and counter block).
std::vector<std::uint8_t> aes128Ctr(std::span<const std::uint8_t> octets);

}  // namespace chaosmix::bench

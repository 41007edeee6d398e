#pragma once
// Base64 (RFC 4648, with padding), for the data URIs of the embedded images.

#include <cstdint>
#include <span>
#include <string>

namespace chaosmix::analysis {

std::string base64(std::span<const std::uint8_t> octets);

}  // namespace chaosmix::analysis

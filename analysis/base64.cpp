#include "analysis/base64.h"

namespace chaosmix::analysis {

std::string base64(std::span<const std::uint8_t> octets) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((octets.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= octets.size(); i += 3) {
    const std::uint32_t v = (std::uint32_t{octets[i]} << 16) | (std::uint32_t{octets[i + 1]} << 8) |
                            octets[i + 2];
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  const std::size_t rest = octets.size() - i;
  if (rest > 0) {
    std::uint32_t v = std::uint32_t{octets[i]} << 16;
    if (rest == 2) v |= std::uint32_t{octets[i + 1]} << 8;
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

}  // namespace chaosmix::analysis

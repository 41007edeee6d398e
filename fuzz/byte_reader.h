#pragma once
// Reading a fuzz input as a sequence of small decisions. Past the end every read gives 0, so
// every input, however short, decodes to a complete test case.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace chaosmix::fuzz {

class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::uint8_t octet() { return pos_ < bytes_.size() ? bytes_[pos_++] : 0; }

  std::uint64_t word(int octets) {
    std::uint64_t v = 0;
    for (int i = 0; i < octets; ++i) v |= static_cast<std::uint64_t>(octet()) << (8 * i);
    return v;
  }

  double real() {
    const std::uint64_t bits = word(8);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
  }

  // The bytes not read yet.
  std::span<const std::uint8_t> rest() const { return bytes_.subspan(pos_); }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

}  // namespace chaosmix::fuzz

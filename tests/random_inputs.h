#pragma once
// Random test inputs drawn from a seeded generator: image octets and keys.

#include <chaosmix/key.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace chaosmix::test {

// Each octet is the low 8 bits of one draw.
template <class Rng>
std::vector<std::uint8_t> randomOctets(Rng& rng, std::size_t count) {
  std::vector<std::uint8_t> v(count);
  for (auto& o : v) o = static_cast<std::uint8_t>(rng());
  return v;
}

template <class Rng>
CipherKey randomKey(Rng& rng) {
  CipherKey key{};
  for (auto& o : key) o = static_cast<std::uint8_t>(rng());
  return key;
}

}  // namespace chaosmix::test

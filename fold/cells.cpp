#include "fold/cells.h"

namespace chaosmix::fold {

std::int32_t packColour(std::uint8_t p1, std::uint8_t p2, std::uint8_t p3) {
  return static_cast<std::int32_t>(p3) * 65536 + static_cast<std::int32_t>(p2) * 256 +
         static_cast<std::int32_t>(p1);
}

PlaneOctets unpackCell(std::int32_t cell) {
  const auto bits = static_cast<std::uint32_t>(cell);
  return {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
          static_cast<std::uint8_t>(bits >> 16)};
}

}  // namespace chaosmix::fold

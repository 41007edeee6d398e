#pragma once
// Packing image octets into the fold cipher's 32-bit cells and back.

#include <cstdint>

namespace chaosmix::fold {

// One colour cell from the three plane octets: p3 * 65536 + p2 * 256 + p1 (0..16777215).
std::int32_t packColour(std::uint8_t p1, std::uint8_t p2, std::uint8_t p3);

// The three plane octets of a cell: bits 0-7, 8-15 and 16-23. Bits 24-31 (which a pass may
// leave set) are ignored.
struct PlaneOctets {
  std::uint8_t p1, p2, p3;
};
PlaneOctets unpackCell(std::int32_t cell);

}  // namespace chaosmix::fold

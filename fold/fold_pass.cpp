#include "fold/fold_pass.h"

#include "common/truncate.h"
#include "fold/logistic_chain.h"

namespace chaosmix::fold {

namespace {

constexpr double kGrayScale = 425.0;
constexpr double kColourScale = 27962025.0;

// 32-bit two's complement arithmetic, wrapping on overflow.
std::int32_t wrappingAdd(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
std::int32_t wrappingSub(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

// Encrypting diffusion of one cell s with keystream value t and running value b.
std::int32_t diffuse(std::int32_t s, std::int32_t t, std::int32_t b, CellKind kind) {
  if (kind == CellKind::colour) return t ^ s ^ b;
  const std::int32_t v = wrappingAdd(s, t) % 256;  // sign of the sum
  return v ^ t ^ b;
}

// Decrypting diffusion of one cell y with keystream value t and running value b.
std::int32_t undiffuse(std::int32_t y, std::int32_t t, std::int32_t b, CellKind kind) {
  if (kind == CellKind::colour) return t ^ y ^ b;
  const std::int32_t r = wrappingAdd(wrappingSub(y ^ t ^ b, t), 256);
  return r % 256;  // sign of r
}

}  // namespace

PassKeystream::PassKeystream(double logisticSeed, CellKind kind)
    : x_(guardSeed(logisticSeed)), scale_(kind == CellKind::gray ? kGrayScale : kColourScale) {}

std::int32_t PassKeystream::next() {
  const double x = drawInWindow(x_);
  return truncateToInt32((x - kWindowLow) * scale_);
}

void foldPass(std::span<std::int32_t> cells, const BoxShape& box, const FoldRoundKey& roundKey,
              CellKind kind, PassDirection direction, std::span<std::int32_t> scratch) {
  PassKeystream keystream(roundKey.logisticSeed, kind);
  std::int32_t b = roundKey.diffusionSeed;
  if (direction == PassDirection::encrypt) {
    forEachFoldPosition(box, roundKey.qStripes, roundKey.pStripes,
                        [&](std::size_t w, std::size_t cell) { scratch[w] = cells[cell]; });
    for (std::size_t w = 0; w < cells.size(); ++w) {
      b = diffuse(scratch[w], keystream.next(), b, kind);
      cells[w] = b;
    }
  } else {
    for (std::size_t w = 0; w < cells.size(); ++w) {
      const std::int32_t y = cells[w];
      scratch[w] = undiffuse(y, keystream.next(), b, kind);
      b = y;
    }
    forEachFoldPosition(box, roundKey.qStripes, roundKey.pStripes,
                        [&](std::size_t w, std::size_t cell) { cells[cell] = scratch[w]; });
  }
}

}  // namespace chaosmix::fold

#pragma once
// The fold pass: one round of the fold cipher over the whole cell buffer. Encrypting, it
// reorders the cells of the box in the fold order the round's stripes define (a
// three-dimensional baker map) and diffuses them with a logistic keystream chained through the
// previous output cell; decrypting, it undoes the diffusion and moves every cell back.

#include "fold/box_shape.h"
#include "fold/round_key.h"

#include <chaosmix/fold.h>

#include <cstddef>
#include <cstdint>
#include <span>

namespace chaosmix::fold {

enum class PassDirection { encrypt, decrypt };

// Calls visit(w, cell) for every position w = 0, 1, ..., P*Q*R - 1 of the fold order, where
// cell = u + P * v + P * Q * z is the box cell listed at w: q-stripes outermost, then
// p-stripes, then the layers z, then v within the q-stripe, then u within the p-stripe.
// The stripe lists must sum to Q and P.
template <typename Visit>
void forEachFoldPosition(const BoxShape& box, std::span<const std::int32_t> qStripes,
                         std::span<const std::int32_t> pStripes, Visit&& visit) {
  const auto P = static_cast<std::size_t>(box.P);
  const auto layer = P * static_cast<std::size_t>(box.Q);
  std::size_t w = 0;
  std::size_t vStart = 0;
  for (const std::int32_t qWidth : qStripes) {
    std::size_t uStart = 0;
    for (const std::int32_t pWidth : pStripes) {
      for (std::size_t z = 0; z < static_cast<std::size_t>(box.R); ++z) {
        for (std::size_t v = vStart; v < vStart + static_cast<std::size_t>(qWidth); ++v) {
          const std::size_t rowStart = z * layer + v * P;
          for (std::size_t u = uStart; u < uStart + static_cast<std::size_t>(pWidth); ++u)
            visit(w++, rowStart + u);
        }
      }
      uStart += static_cast<std::size_t>(pWidth);
    }
    vStart += static_cast<std::size_t>(qWidth);
  }
}

// The pass's keystream: from the guarded logisticSeed, each value is the next chain value in
// [0.2, 0.8] scaled to 0..255 (gray, * 425) or 0..16777215 (colour, * 27962025).
class PassKeystream {
 public:
  PassKeystream(double logisticSeed, CellKind kind);
  std::int32_t next();

 private:
  double x_;
  double scale_;
};

// One fold pass in place over cells (P*Q*R of them) with the round key's stripes, keystream and
// chain start. scratch is working storage of the same size; its content is overwritten.
void foldPass(std::span<std::int32_t> cells, const BoxShape& box, const FoldRoundKey& roundKey,
              CellKind kind, PassDirection direction, std::span<std::int32_t> scratch);

}  // namespace chaosmix::fold

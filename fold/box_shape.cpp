#include "fold/box_shape.h"

#include "fold/factorise.h"
#include "fold/seeded_generator.h"

#include <utility>

namespace chaosmix::fold {

BoxShape makeBoxShape(std::int32_t columns, std::int32_t rows, std::int32_t shuffleSeed,
                      std::int32_t shufflePasses) {
  // The 32-bit product of the extents, wrapping as the cipher's integer arithmetic does.
  const auto n = static_cast<std::int32_t>(static_cast<std::uint32_t>(columns) *
                                           static_cast<std::uint32_t>(rows));
  FactorList factors;
  factorise(n, factors);
  shuffleSequence(factors, shuffleSeed, shufflePasses);

  BoxShape box;
  for (std::size_t i = 0; i < factors.size(); i += 3) {
    box.P *= factors[i];
    if (i + 1 < factors.size()) box.Q *= factors[i + 1];
    if (i + 2 < factors.size()) box.R *= factors[i + 2];
  }
  if (box.P < box.R) std::swap(box.P, box.R);
  if (box.Q < box.R) std::swap(box.Q, box.R);
  return box;
}

}  // namespace chaosmix::fold

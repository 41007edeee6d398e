#pragma once
// The box the fold cipher reads the cells as: P x Q x R cells from the shuffled prime factors of
// the cell count.

#include <cstdint>

namespace chaosmix::fold {

// P is the extent along which consecutive cells lie, Q the next, R the slowest. Each is at
// least 1, P * Q * R is the cell count, and R is not greater than P or Q.
struct BoxShape {
  std::int32_t P = 1, Q = 1, R = 1;
  friend bool operator==(const BoxShape&, const BoxShape&) = default;
};

// Factorises columns * rows (at least 1), shuffles the factors, deals them in turn onto P, Q
// and R, then exchanges P and R if P < R, and Q and R if Q < R.
// Throws std::invalid_argument when columns * rows is below 1.
BoxShape makeBoxShape(std::int32_t columns, std::int32_t rows, std::int32_t shuffleSeed,
                      std::int32_t shufflePasses);

}  // namespace chaosmix::fold

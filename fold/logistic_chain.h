#pragma once
// The logistic chains of the fold cipher: the replacement rule for start values and the draw of
// the next value inside the window [0.2, 0.8], shared by the stripe lists and the keystream.

#include "common/logistic.h"

namespace chaosmix::fold {

inline constexpr double kWindowLow = 0.2;   // 0x3FC999999999999A, accepted
inline constexpr double kWindowHigh = 0.8;  // 0x3FE999999999999A, accepted
inline constexpr double kChainRestart = 0.5001;  // 0x3FE000D1B71758E2

// A start value that is not greater than 0, is at least 1, or equals 0.5 becomes 0.5001.
inline double guardSeed(double x) {
  if (!(x > 0.0) || x >= 1.0 || x == 0.5) return kChainRestart;
  return x;
}

// Steps x until it lies in [0.2, 0.8] and returns that value (x keeps it). A chain that
// reaches exactly 1 falls to 0 and would stay there for ever; when a step yields exactly 0 the
// chain restarts from 0.5001 (the value is spent, drawing goes on from the restart value). Only
// chains that could never end again are affected.
inline double drawInWindow(double& x) {
  for (;;) {
    x = logisticStep(x);
    if (x == 0.0) {
      x = kChainRestart;
      continue;
    }
    if (x >= kWindowLow && x <= kWindowHigh) return x;
  }
}

}  // namespace chaosmix::fold

#include "reference.h"

namespace chaosmix::reference {

double logisticStep(double x) {
  const double oneMinus = 1.0 - x;
  const double product = oneMinus * x;
  return product * 4.0;
}

}  // namespace chaosmix::reference

#include "common/key_reading.h"

#include "common/truncate.h"

namespace chaosmix {

CipherKey readKeyRowByRow(const double* data, std::size_t keyRows, std::size_t keyCols) {
  CipherKey key{};
  for (std::size_t i = 0; i < keyRows; ++i) {
    for (std::size_t j = 0; j < keyCols; ++j) {
      key[i * keyCols + j] = truncateToOctet(data[i + keyRows * j]);
    }
  }
  return key;
}

}  // namespace chaosmix

#include "fold/seeded_generator.h"

#include <utility>

namespace chaosmix::fold {

void seed(SeededGenerator& generator, std::int32_t value) {
  generator.state = static_cast<std::uint32_t>(value);
}

std::int32_t draw(SeededGenerator& generator) {
  generator.state = generator.state * 214013u + 2531011u;
  return static_cast<std::int32_t>((generator.state >> 16) & 0x7FFFu);
}

void shuffleSequence(std::span<std::int32_t> values, std::int32_t shuffleSeed,
                     std::int32_t shufflePasses) {
  std::int32_t s = shuffleSeed;
  for (std::int32_t pass = 0; pass < shufflePasses; ++pass) {
    SeededGenerator generator;
    seed(generator, s);
    s = draw(generator);
    for (std::size_t j = 0; j < values.size(); ++j) {
      const std::int64_t r = draw(generator);
      const auto k = static_cast<std::size_t>(static_cast<std::int64_t>(j) * r / 32767);
      std::swap(values[j], values[k]);
    }
  }
}

}  // namespace chaosmix::fold

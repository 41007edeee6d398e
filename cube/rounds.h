#pragma once
// The cube cipher's logistic keystream and its two round engines.

#include "cube/key_schedule.h"

#include <cstdint>
#include <span>

namespace chaosmix::cube {

// Fills the keystream from the seed: 200 warm-up steps, then at least 20 steps per octet until
// a value in [0.2, 0.8] is reached, floored at 0.00001 before each step.
void cubeKeystream(std::span<std::uint8_t> keystream, double logisticSeed);

// chain <- ((w[i] + k[i]) mod 256) XOR k[i] XOR chain; w[i] <- chain.
void forwardDiffusion(std::span<std::uint8_t> work, std::span<const std::uint8_t> keystream,
                      std::uint8_t seed);

// w[i] <- ((p[i] XOR chain XOR k[i]) - k[i]) mod 256; chain <- p[i].
void inverseDiffusion(std::span<const std::uint8_t> pixels, std::span<std::uint8_t> work,
                      std::span<const std::uint8_t> keystream, std::uint8_t seed);

// The round engines. pixels (the input, overwritten as working storage) and work (the result)
// have one octet per cell; the permutation and the keystream are built once for all rounds.
// With rounds <= 0 nothing is written. Throws std::bad_alloc when memory runs out.
void cubeEncryptRounds(const CubeMapParams& params, std::span<std::uint8_t> pixels,
                       std::span<std::uint8_t> work, std::int32_t rounds);
void cubeDecryptRounds(const CubeMapParams& params, std::span<std::uint8_t> pixels,
                       std::span<std::uint8_t> work, std::int32_t rounds);

}  // namespace chaosmix::cube

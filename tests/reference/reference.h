#pragma once
// The oracle: a plain, step-by-step transcription of both ciphers, written without regard to
// speed and kept apart from the library (never linked into the product). The library's fast
// paths must give the same octets as these functions on every input.

#include <chaosmix/fold.h>
#include <chaosmix/key.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace chaosmix::reference {

// The logistic step as three rounded operations: ((1 - x) * x) * 4.
double logisticStep(double x);

// ---- cube cipher -------------------------------------------------------------------------

// Same contract as chaosmix::cubeEncrypt / cubeDecrypt (work buffer zero-filled).
std::vector<std::uint8_t> cubeEncrypt(std::span<const std::uint8_t> image, std::size_t rows,
                                      std::size_t columns, std::int32_t rounds,
                                      const CipherKey& key);
std::vector<std::uint8_t> cubeDecrypt(std::span<const std::uint8_t> image, std::size_t rows,
                                      std::size_t columns, std::int32_t rounds,
                                      const CipherKey& key);

// The keystream seed the key schedule derives from a key.
double cubeLogisticSeed(const CipherKey& key);

// The cube keystream of `count` octets; returns the number of logistic steps it took
// (warm-up included), the length of its serial chain.
std::uint64_t cubeKeystream(std::span<std::uint8_t> keystream, double logisticSeed);

// ---- fold cipher -------------------------------------------------------------------------

// Same contract as chaosmix::foldEncrypt / foldDecrypt.
std::vector<std::uint8_t> foldEncrypt(std::span<const std::uint8_t> image, std::size_t rows,
                                      std::size_t columns, CellKind kind, std::int32_t rounds,
                                      const CipherKey& key);
std::vector<std::uint8_t> foldDecrypt(std::span<const std::uint8_t> image, std::size_t rows,
                                      std::size_t columns, CellKind kind, std::int32_t rounds,
                                      const CipherKey& key);

struct BoxShape {
  std::int32_t P, Q, R;
};

// The box of a cell count, with the factorisation by trial division up to n.
BoxShape makeBoxShape(std::int32_t columns, std::int32_t rows, std::int32_t shuffleSeed,
                      std::int32_t shufflePasses);

}  // namespace chaosmix::reference

// The fold cipher, transcribed step by step: the factorisation by trial division up to n, the
// seeded generator and the shuffle, the box, the round key expansion with its three logistic
// chains, and the fold pass with its fold order list, a scratch copy, and separate gather,
// diffusion and scatter.

#include "reference.h"

#include "common/truncate.h"

#include <stdexcept>
#include <utility>

namespace chaosmix::reference {

namespace {

constexpr double kRestart = 0.5001;  // the replacement start value of every fold chain

// The next value of a fold chain inside the window [0.2, 0.8]. A chain that reaches exactly 1
// falls to 0 and would stay there; when a step yields exactly 0 that value is spent and the
// chain goes on from the replacement value.
double drawInWindow(double x) {
  for (;;) {
    x = logisticStep(x);
    if (x == 0.0) {
      x = kRestart;
    } else if (x >= 0.2 && x <= 0.8) {
      return x;
    }
  }
}

// ---- box shape -----------------------------------------------------------------------------

std::vector<std::int32_t> factorise(std::int32_t n) {
  std::vector<std::int32_t> list;
  while (n != 1) {
    if (n % 2 == 0) {
      list.push_back(2);
      n = n / 2;
    }
    if (n >= 3) {
      for (std::int32_t d = 3; d <= n; d += 2) {
        if (n % d == 0) {
          list.push_back(d);
          n = n / d;
          break;
        }
      }
    }
  }
  return list;
}

struct SeededGenerator {
  std::uint32_t state = 0;
  void seed(std::int32_t value) { state = static_cast<std::uint32_t>(value); }
  std::int32_t draw() {
    state = state * 214013u + 2531011u;
    return static_cast<std::int32_t>((state >> 16) & 0x7FFFu);
  }
};

void shuffleSequence(std::vector<std::int32_t>& values, std::int32_t shuffleSeed,
                     std::int32_t shufflePasses) {
  if (shufflePasses <= 0) return;
  SeededGenerator generator;
  std::int32_t s = shuffleSeed;
  for (std::int32_t pass = 0; pass < shufflePasses; ++pass) {
    generator.seed(s);
    s = generator.draw();
    for (std::size_t j = 0; j < values.size(); ++j) {
      const std::int64_t r = generator.draw();
      const auto k = static_cast<std::size_t>((static_cast<std::int64_t>(j) * r) / 32767);
      std::swap(values[j], values[k]);
    }
  }
}

// ---- round key -----------------------------------------------------------------------------

struct RoundKey {
  std::vector<std::int32_t> qStripes, pStripes;
  double logisticSeed;
  std::int32_t diffusionSeed;
};

std::int32_t signedOctet(const CipherKey& key, int k) {
  return static_cast<std::int32_t>(static_cast<std::int8_t>(key[k]));
}

double guardSeed(double x) {
  if (!(x > 0.0) || x >= 1.0 || x == 0.5) return kRestart;
  return x;
}

double chainStart(const CipherKey& key, int a, std::int32_t warmUpBase) {
  const double twoToMinus24 = 5.9604644775390625e-08;
  double x = ((static_cast<double>(signedOctet(key, a)) * 256.0 + signedOctet(key, a + 1)) *
                  256.0 +
              signedOctet(key, a + 2)) *
             twoToMinus24;
  x = guardSeed(x);
  const std::int32_t w = signedOctet(key, a) + warmUpBase;
  for (std::int32_t i = 0; i < w; ++i) x = logisticStep(x);
  return x;
}

std::vector<std::int32_t> drawStripes(double x, std::int32_t extent) {
  std::vector<std::int32_t> list;
  std::int32_t remainder = extent;
  do {
    x = drawInWindow(x);
    const std::int32_t cap = remainder > 30 ? 30 : remainder;
    const std::int32_t width = truncateToInt32(((x - 0.2) * cap) * 1.6666666666666667);
    if (width > 0) {
      list.push_back(width);
      remainder -= width;
    }
  } while (remainder > 1);
  if (remainder == 1) list.push_back(1);
  return list;
}

RoundKey expandRoundKey(const CipherKey& key, std::int32_t Q, std::int32_t P, CellKind kind) {
  RoundKey rk;
  rk.qStripes = drawStripes(chainStart(key, 0, 50), Q);
  rk.pStripes = drawStripes(chainStart(key, 3, 50), P);
  rk.logisticSeed = chainStart(key, 6, 100);
  const std::int32_t s9 = signedOctet(key, 9), s10 = signedOctet(key, 10),
                     s11 = signedOctet(key, 11);
  rk.diffusionSeed = kind == CellKind::gray ? (s9 ^ s10 ^ s11) : (s9 * 256 + s10) * 256 + s11;
  const std::int32_t shuffleSeed = signedOctet(key, 12) * 256 + signedOctet(key, 13);
  std::int32_t passes = signedOctet(key, 14) + signedOctet(key, 15);
  if (passes < 5) passes = 5;
  shuffleSequence(rk.qStripes, shuffleSeed, passes);
  shuffleSequence(rk.pStripes, shuffleSeed, passes);
  return rk;
}

// ---- fold pass -----------------------------------------------------------------------------

std::vector<std::size_t> foldOrder(const BoxShape& box, const RoundKey& rk) {
  const std::size_t P = static_cast<std::size_t>(box.P), Q = static_cast<std::size_t>(box.Q),
                    R = static_cast<std::size_t>(box.R);
  std::vector<std::size_t> order;
  order.reserve(P * Q * R);
  std::size_t G = 0;
  for (const std::int32_t qi : rk.qStripes) {
    std::size_t H = 0;
    for (const std::int32_t pj : rk.pStripes) {
      for (std::size_t z = 0; z < R; ++z)
        for (std::size_t v = G; v < G + static_cast<std::size_t>(qi); ++v)
          for (std::size_t u = H; u < H + static_cast<std::size_t>(pj); ++u)
            order.push_back(u + P * v + P * Q * z);
      H += static_cast<std::size_t>(pj);
    }
    G += static_cast<std::size_t>(qi);
  }
  return order;
}

std::int32_t wrapAdd(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

void foldPass(std::vector<std::int32_t>& cells, const BoxShape& box, const RoundKey& rk,
              CellKind kind, int direction) {
  const std::size_t n = cells.size();
  const std::vector<std::size_t> order = foldOrder(box, rk);
  std::vector<std::int32_t> keystream(n);
  double x = guardSeed(rk.logisticSeed);
  const double scale = kind == CellKind::gray ? 425.0 : 27962025.0;
  for (std::size_t w = 0; w < n; ++w) {
    x = drawInWindow(x);
    keystream[w] = truncateToInt32((x - 0.2) * scale);
  }
  std::vector<std::int32_t> scratch(n);
  if (direction == 1) {
    for (std::size_t w = 0; w < n; ++w) scratch[w] = cells[order[w]];
    std::int32_t b = rk.diffusionSeed;
    for (std::size_t w = 0; w < n; ++w) {
      const std::int32_t s = scratch[w], t = keystream[w];
      std::int32_t y;
      if (kind == CellKind::gray) {
        const std::int32_t v = wrapAdd(s, t) % 256;
        y = v ^ t ^ b;
      } else {
        y = t ^ s ^ b;
      }
      cells[w] = y;
      b = y;
    }
  } else {
    std::int32_t b = rk.diffusionSeed;
    for (std::size_t w = 0; w < n; ++w) {
      const std::int32_t y = cells[w], t = keystream[w];
      if (kind == CellKind::gray) {
        const std::int32_t r = wrapAdd(wrapAdd(y ^ t ^ b, -t), 256);
        scratch[w] = r % 256;
      } else {
        scratch[w] = t ^ y ^ b;
      }
      b = y;
    }
    for (std::size_t w = 0; w < n; ++w) cells[order[w]] = scratch[w];
  }
}

// ---- drivers -------------------------------------------------------------------------------

void reverseKey(CipherKey& key) {
  for (int i = 0; i < 8; ++i) std::swap(key[i], key[15 - i]);
}

BoxShape boxFromKey(const CipherKey& key, std::int32_t M, std::int32_t N) {
  const std::int32_t shuffleSeed = 256 * signedOctet(key, 12) + signedOctet(key, 13);
  const std::int32_t shufflePasses = signedOctet(key, 14) + signedOctet(key, 15);
  return makeBoxShape(N, M, shuffleSeed, shufflePasses);
}

void encryptRounds(std::vector<std::int32_t>& cells, CipherKey key, std::int32_t M,
                   std::int32_t N, CellKind kind, std::int32_t rounds) {
  const BoxShape box = boxFromKey(key, M, N);
  for (std::int32_t r = 0; r < rounds; ++r) {
    const RoundKey rk = expandRoundKey(key, box.Q, box.P, kind);
    foldPass(cells, box, rk, kind, 1);
    reverseKey(key);
  }
}

void decryptRounds(std::vector<std::int32_t>& cells, CipherKey key, std::int32_t M,
                   std::int32_t N, CellKind kind, std::int32_t rounds) {
  const BoxShape box = boxFromKey(key, M, N);
  if (rounds % 2 != 0) reverseKey(key);
  for (std::int32_t r = 0; r < rounds; ++r) {
    reverseKey(key);
    const RoundKey rk = expandRoundKey(key, box.Q, box.P, kind);
    foldPass(cells, box, rk, kind, 0);
  }
}

// ---- image <-> cells -------------------------------------------------------------------------

std::vector<std::uint8_t> runFold(bool encrypt, std::span<const std::uint8_t> image,
                                  std::size_t rows, std::size_t columns, CellKind kind,
                                  std::int32_t rounds, const CipherKey& key) {
  const std::size_t n = rows * columns;
  const std::size_t planes = kind == CellKind::gray ? 1 : 3;
  if (n == 0 || image.size() != n * planes)
    throw std::invalid_argument("reference fold: bad image size");
  std::vector<std::int32_t> cells(n);
  for (std::size_t k = 0; k < n; ++k) {
    if (kind == CellKind::gray)
      cells[k] = image[k];
    else
      cells[k] = image[2 * n + k] * 65536 + image[n + k] * 256 + image[k];
  }
  const auto M = static_cast<std::int32_t>(rows), N = static_cast<std::int32_t>(columns);
  if (encrypt)
    encryptRounds(cells, key, M, N, kind, rounds);
  else
    decryptRounds(cells, key, M, N, kind, rounds);
  std::vector<std::uint8_t> out(n * planes);
  for (std::size_t k = 0; k < n; ++k) {
    const auto cell = static_cast<std::uint32_t>(cells[k]);
    out[k] = static_cast<std::uint8_t>(cell & 0xFFu);
    if (kind == CellKind::colour) {
      out[n + k] = static_cast<std::uint8_t>((cell >> 8) & 0xFFu);
      out[2 * n + k] = static_cast<std::uint8_t>((cell >> 16) & 0xFFu);
    }
  }
  return out;
}

}  // namespace

BoxShape makeBoxShape(std::int32_t columns, std::int32_t rows, std::int32_t shuffleSeed,
                      std::int32_t shufflePasses) {
  const std::int32_t n = static_cast<std::int32_t>(static_cast<std::uint32_t>(columns) *
                                                   static_cast<std::uint32_t>(rows));
  std::vector<std::int32_t> factors = factorise(n);
  shuffleSequence(factors, shuffleSeed, shufflePasses);
  std::int32_t P = 1, Q = 1, R = 1;
  for (std::size_t i = 0; i < factors.size(); i += 3) {
    P *= factors[i];
    if (i + 1 < factors.size()) Q *= factors[i + 1];
    if (i + 2 < factors.size()) R *= factors[i + 2];
  }
  if (P < R) std::swap(P, R);
  if (Q < R) std::swap(Q, R);
  return {P, Q, R};
}

std::vector<std::uint8_t> foldEncrypt(std::span<const std::uint8_t> image, std::size_t rows,
                                      std::size_t columns, CellKind kind, std::int32_t rounds,
                                      const CipherKey& key) {
  return runFold(true, image, rows, columns, kind, rounds, key);
}

std::vector<std::uint8_t> foldDecrypt(std::span<const std::uint8_t> image, std::size_t rows,
                                      std::size_t columns, CellKind kind, std::int32_t rounds,
                                      const CipherKey& key) {
  return runFold(false, image, rows, columns, kind, rounds, key);
}

}  // namespace chaosmix::reference

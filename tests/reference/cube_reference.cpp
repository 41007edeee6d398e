// The cube cipher, transcribed step by step: key-bit scramble, key reals, four Chen flow runs,
// the cube decomposition with directly evaluated cat maps, the logistic keystream, and rounds
// made of separate scatter, diffusion and reversal passes.

#include "reference.h"

#include "common/truncate.h"

#include <stdexcept>

namespace chaosmix::reference {

namespace {

struct CubeParams {
  double ax, bx, ay, by, az, bz;
  double logisticSeed;
  std::uint8_t diffusionSeed;
};

// ---- key schedule --------------------------------------------------------------------------

std::vector<std::uint8_t> scrambleKeyBits(const CipherKey& in) {
  std::vector<int> b(128), t(128), m(121);
  for (int q = 0; q < 16; ++q)
    for (int j = 0; j < 8; ++j) b[8 * q + j] = (in[q] >> (7 - j)) & 1;
  std::uint32_t evenSum = 0, oddSum = 0;
  for (int q = 0; q < 16; q += 2) evenSum += in[q];
  for (int q = 1; q < 16; q += 2) oddSum += in[q];
  const std::uint32_t e = evenSum / 8;
  const std::uint32_t o = oddSum / 8;
  const std::uint32_t st = e * o + 1;
  for (std::uint32_t r = 0; r <= 10; ++r)
    for (std::uint32_t i = 0; i <= 10; ++i)
      m[11 * r + i] = static_cast<int>(11 * ((r * st + i * e) % 11) + i);
  t[127] = 1;
  for (int p = 0; p <= 6; ++p) {
    for (int j = 0; j <= 127; ++j) t[j] = b[j] ^ t[(j + 127) % 128];
    for (int n = 0; n <= 120; ++n) b[p + n] = t[p + m[n]];
  }
  std::vector<std::uint8_t> out(16);
  for (int q = 0; q < 16; ++q) {
    unsigned v = 0;
    for (int j = 0; j < 8; ++j) v = ((v + static_cast<unsigned>(b[8 * q + j])) << (7 - j)) % 256;
    out[q] = static_cast<std::uint8_t>(v);
  }
  return out;
}

double pairReal(std::uint8_t hi, std::uint8_t lo) {
  const int den = 256 * hi + lo;
  return 1.0 / static_cast<double>(den);
}

struct Slopes {
  double kx, ky, kz;
};

void sampleFlow(double ra, double rb, double& early, double& late) {
  const double a = 35.0, b = 3.0, h = 0.001, sixth = 0.16666666666666666;
  const double c = (ra * 8.4) + 20.0;
  const double g = c - a;
  std::vector<double> xs(200), ys(200), zs(200);
  zs[0] = rb * 60.0;
  ys[0] = (ra * 80.0) - 40.0;
  xs[0] = (rb * 80.0) - 40.0;
  for (int n = 1; n < 200; ++n) {
    const double x = xs[n - 1], y = ys[n - 1], z = zs[n - 1];
    Slopes k[4];
    k[0].kx = (y - x) * a;
    k[0].ky = ((g * x) - (x * z)) + (y * c);
    k[0].kz = (x * y) - (z * b);
    for (int stage = 1; stage < 4; ++stage) {
      const Slopes& prev = k[stage - 1];
      double dx, dy, dz;
      if (stage < 3) {
        dx = (h * prev.kx) * 0.5;
        dy = (h * prev.ky) * 0.5;
        dz = (h * prev.kz) * 0.5;
      } else {
        dx = h * prev.kx;
        dy = h * prev.ky;
        dz = h * prev.kz;
      }
      const double X = dx + x, Y = dy + y, Z = dz + z;
      k[stage].kx = ((Y - x) - dx) * a;
      k[stage].ky = ((g * X) - (Z * X)) + (Y * c);
      k[stage].kz = (X * Y) - (Z * b);
    }
    xs[n] = ((((k[2].kx + k[1].kx) * 2.0 + k[3].kx) + k[0].kx) * h) * sixth + x;
    ys[n] = ((((k[2].ky + k[1].ky) * 2.0 + k[3].ky) + k[0].ky) * h) * sixth + y;
    zs[n] = ((((k[2].kz + k[1].kz) * 2.0 + k[3].kz) + k[0].kz) * h) * sixth + z;
  }
  early = zs[99];
  late = zs[199];
}

CubeParams deriveParams(const CipherKey& key) {
  const std::vector<std::uint8_t> s = scrambleKeyBits(key);
  double r[8];
  for (int i = 0; i < 8; ++i) r[i] = pairReal(s[2 * i], s[2 * i + 1]);
  CubeParams p{};
  sampleFlow(r[0], r[1], p.ax, p.bx);
  sampleFlow(r[2], r[3], p.ay, p.by);
  sampleFlow(r[4], r[5], p.az, p.bz);
  double e3 = 0, l3 = 0;
  sampleFlow(r[6], r[7], e3, l3);
  p.logisticSeed = e3 * 0.016666666666666666;
  p.diffusionSeed = truncateToOctet(l3 * 4.25);
  return p;
}

// ---- permutation ---------------------------------------------------------------------------

std::uint32_t cubeRoot(std::int32_t n) {
  for (std::int32_t i = 0; i <= 999; ++i)
    if (i * i * i <= n && n < (i + 1) * (i + 1) * (i + 1)) return static_cast<std::uint32_t>(i);
  return 0;
}

std::uint32_t integerParam(std::uint32_t N, double real) {
  const double product = static_cast<double>(N) * real;
  return static_cast<std::uint32_t>(truncateToInt64(product * 0.016666666666666666));
}

std::vector<std::uint32_t> buildPermutation(std::uint32_t total, const CubeParams& p) {
  std::vector<std::uint32_t> table(total);
  std::uint32_t remaining = total, offset = 0;
  while (remaining >= 8) {
    const std::uint32_t N = cubeRoot(static_cast<std::int32_t>(remaining));
    const std::uint32_t Ax = integerParam(N, p.ax), Bx = integerParam(N, p.bx);
    const std::uint32_t Ay = integerParam(N, p.ay), By = integerParam(N, p.by);
    const std::uint32_t Az = integerParam(N, p.az), Bz = integerParam(N, p.bz);
    // The coefficient table of the map, evaluated directly for every cell (mod 2^32).
    const std::uint32_t c[3][3] = {
        {1 + Ax * By * Az, Az, Ay + Ax * Az + Ax * Ay * By * Az},
        {Bz + Ax * By + Ax * By * Az * Bz, 1 + Az * Bz,
         Ax + Ay * Az + Ax * Ay * By + Ax * Az * Bz + Ax * Ay * By * Az * Bz},
        {By + Ax * Bx * By, Bx, 1 + Ax * Bx + Ay * By + Ax * Ay * Bx * By}};
    for (std::uint32_t z = 0; z < N; ++z)
      for (std::uint32_t y = 0; y < N; ++y)
        for (std::uint32_t x = 0; x < N; ++x) {
          const std::uint32_t xt = c[0][0] * x + c[0][1] * y + c[0][2] * z;
          const std::uint32_t yt = c[1][0] * x + c[1][1] * y + c[1][2] * z;
          const std::uint32_t zt = c[2][0] * x + c[2][1] * y + c[2][2] * z;
          table[offset + N * N * z + N * y + x] =
              offset + N * N * (zt % N) + N * (yt % N) + (xt % N);
        }
    remaining -= N * N * N;
    offset += N * N * N;
  }
  for (std::uint32_t s = offset; s < total; ++s) table[s] = s;
  return table;
}

// ---- rounds --------------------------------------------------------------------------------

void forwardDiffusion(std::vector<std::uint8_t>& w, const std::vector<std::uint8_t>& k,
                      std::uint8_t seed) {
  int chain = seed;
  for (std::size_t i = 0; i < w.size(); ++i) {
    chain = ((w[i] + k[i]) % 256) ^ k[i] ^ chain;
    w[i] = static_cast<std::uint8_t>(chain);
  }
}

void inverseDiffusion(const std::vector<std::uint8_t>& p, std::vector<std::uint8_t>& w,
                      const std::vector<std::uint8_t>& k, std::uint8_t seed) {
  int chain = seed;
  for (std::size_t i = 0; i < p.size(); ++i) {
    const int v = ((p[i] ^ chain ^ k[i]) - k[i] + 256) % 256;
    w[i] = static_cast<std::uint8_t>(v);
    chain = p[i];
  }
}

std::size_t checkedCells(std::span<const std::uint8_t> image, std::size_t rows,
                         std::size_t columns) {
  if (image.size() != rows * columns)
    throw std::invalid_argument("reference cube: the image must hold rows x columns octets");
  return rows * columns;
}

}  // namespace

double cubeLogisticSeed(const CipherKey& key) { return deriveParams(key).logisticSeed; }

std::uint64_t cubeKeystream(std::span<std::uint8_t> keystream, double logisticSeed) {
  std::uint64_t steps = 0;
  double x = logisticSeed;
  for (int i = 0; i < 200; ++i) {
    x = logisticStep(x);
    ++steps;
  }
  for (std::size_t i = 0; i < keystream.size(); ++i) {
    int counter = 20;
    while (true) {
      if (!(x > 0.00001)) x = 0.00001;
      x = logisticStep(x);
      ++steps;
      counter = counter - 1;
      if (x <= 0.8 && x >= 0.2 && counter <= 0) break;
    }
    keystream[i] = truncateToOctet((x - 0.2) * 425.0);
  }
  return steps;
}

std::vector<std::uint8_t> cubeEncrypt(std::span<const std::uint8_t> image, std::size_t rows,
                                      std::size_t columns, std::int32_t rounds,
                                      const CipherKey& key) {
  const std::size_t n = checkedCells(image, rows, columns);
  const CubeParams params = deriveParams(key);
  std::vector<std::uint8_t> pixels(image.begin(), image.end());
  std::vector<std::uint8_t> work(n, 0);
  const std::vector<std::uint32_t> table =
      buildPermutation(static_cast<std::uint32_t>(n), params);
  std::vector<std::uint8_t> keystream(n);
  cubeKeystream(keystream, params.logisticSeed);
  for (std::int32_t r = 0; r < rounds; ++r) {
    for (std::size_t s = 0; s < n; ++s) work[table[s]] = pixels[s];
    forwardDiffusion(work, keystream, params.diffusionSeed);
    for (std::size_t i = 0; i < n; ++i) pixels[i] = work[n - 1 - i];
  }
  return work;
}

std::vector<std::uint8_t> cubeDecrypt(std::span<const std::uint8_t> image, std::size_t rows,
                                      std::size_t columns, std::int32_t rounds,
                                      const CipherKey& key) {
  const std::size_t n = checkedCells(image, rows, columns);
  const CubeParams params = deriveParams(key);
  std::vector<std::uint8_t> pixels(image.begin(), image.end());
  std::vector<std::uint8_t> work(n, 0);
  const std::vector<std::uint32_t> table =
      buildPermutation(static_cast<std::uint32_t>(n), params);
  std::vector<std::uint8_t> keystream(n);
  cubeKeystream(keystream, params.logisticSeed);
  for (std::int32_t r = 0; r < rounds; ++r) {
    inverseDiffusion(pixels, work, keystream, params.diffusionSeed);
    for (std::size_t s = 0; s < n; ++s) pixels[s] = work[table[s]];
    if (r >= rounds - 1) {
      for (std::size_t i = 0; i < n; ++i) work[i] = pixels[i];
    } else {
      for (std::size_t i = 0; i < n; ++i) work[i] = pixels[n - 1 - i];
      for (std::size_t i = 0; i < n; ++i) pixels[i] = work[i];
    }
  }
  return work;
}

}  // namespace chaosmix::reference

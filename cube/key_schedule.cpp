#include "cube/key_schedule.h"

#include "common/truncate.h"

namespace chaosmix::cube {

namespace {
constexpr double kOneSixtieth = 0.016666666666666666;  // 0x3F91111111111111, multiplied
constexpr double kOneSixth = 0.16666666666666666;      // 0x3FC5555555555555
}  // namespace

std::array<std::uint8_t, 121> scrambleIndexTable(std::uint32_t e, std::uint32_t st) {
  std::array<std::uint8_t, 121> m{};
  for (std::uint32_t r = 0; r < 11; ++r)
    for (std::uint32_t i = 0; i < 11; ++i)
      m[11 * r + i] = static_cast<std::uint8_t>(11 * ((r * st + i * e) % 11) + i);
  return m;
}

ScrambledKey scrambleKeyBits(const CipherKey& in) {
  std::array<std::uint8_t, 128> b{};
  std::array<std::uint8_t, 128> t{};
  for (int q = 0; q < 16; ++q)
    for (int j = 0; j < 8; ++j) b[8 * q + j] = (in[q] >> (7 - j)) & 1u;

  std::uint32_t evenSum = 0, oddSum = 0;
  for (int q = 0; q < 16; q += 2) {
    evenSum += in[q];
    oddSum += in[q + 1];
  }
  const std::uint32_t e = evenSum / 8;      // column step
  const std::uint32_t st = e * (oddSum / 8) + 1;  // row step

  const auto m = scrambleIndexTable(e, st);

  t[127] = 1;
  for (int p = 0; p < 7; ++p) {
    for (int j = 0; j < 128; ++j) t[j] = b[j] ^ t[(j + 127) % 128];
    for (int n = 0; n < 121; ++n) b[p + n] = t[p + m[n]];
  }

  // The packing accumulates and shifts in eight bits, but every shift pushes the earlier bits
  // further up, so only the last four cells of each group reach the octet.
  ScrambledKey out{};
  for (int q = 0; q < 16; ++q) {
    unsigned v = 0;
    for (int j = 0; j < 8; ++j) v = ((v + b[8 * q + j]) << (7 - j)) & 0xFFu;
    out[q] = static_cast<std::uint8_t>(v);
  }
  return out;
}

double pairReal(std::uint8_t hi, std::uint8_t lo) {
  return 1.0 / static_cast<double>(256 * hi + lo);
}

KeyReals keyReals(const ScrambledKey& key) {
  KeyReals r{};
  for (int i = 0; i < 8; ++i) r[i] = pairReal(key[2 * i], key[2 * i + 1]);
  return r;
}

std::array<FlowSlopes, 4> flowStages(const FlowState& s, const FlowConstants& k) {
  const double g = k.c - k.a;
  std::array<FlowSlopes, 4> out{};
  out[0] = {(s.y - s.x) * k.a, ((g * s.x) - (s.x * s.z)) + (s.y * k.c),
            (s.x * s.y) - (s.z * k.b)};
  for (int stage = 1; stage < 4; ++stage) {
    const FlowSlopes& p = out[stage - 1];
    double dx, dy, dz;
    if (stage < 3) {
      dx = (k.h * p.kx) * 0.5;
      dy = (k.h * p.ky) * 0.5;
      dz = (k.h * p.kz) * 0.5;
    } else {
      dx = k.h * p.kx;
      dy = k.h * p.ky;
      dz = k.h * p.kz;
    }
    const double X = dx + s.x, Y = dy + s.y, Z = dz + s.z;
    // kx subtracts x and then dx from Y; (Y - X) would round differently.
    out[stage] = {((Y - s.x) - dx) * k.a, ((g * X) - (Z * X)) + (Y * k.c), (X * Y) - (Z * k.b)};
  }
  return out;
}

FlowState integrateFlow(FlowState s, const FlowConstants& k, int steps) {
  for (int n = 0; n < steps; ++n) {
    const auto st = flowStages(s, k);
    s = {((((st[2].kx + st[1].kx) * 2 + st[3].kx) + st[0].kx) * k.h) * kOneSixth + s.x,
         ((((st[2].ky + st[1].ky) * 2 + st[3].ky) + st[0].ky) * k.h) * kOneSixth + s.y,
         ((((st[2].kz + st[1].kz) * 2 + st[3].kz) + st[0].kz) * k.h) * kOneSixth + s.z};
  }
  return s;
}

FlowSamples sampleFlow(double ra, double rb) {
  const FlowConstants k{.c = (ra * 8.4) + 20};
  const FlowState start{(rb * 80) - 40, (ra * 80) - 40, rb * 60};
  // Only the third variable after 99 and after 199 steps is used: no sequences are stored.
  const FlowState early = integrateFlow(start, k, 99);
  const FlowState late = integrateFlow(early, k, 100);
  return {early.z, late.z};
}

CubeMapParams deriveCubeMapParams(const CipherKey& key) {
  const KeyReals r = keyReals(scrambleKeyBits(key));
  const FlowSamples f0 = sampleFlow(r[0], r[1]);
  const FlowSamples f1 = sampleFlow(r[2], r[3]);
  const FlowSamples f2 = sampleFlow(r[4], r[5]);
  const FlowSamples f3 = sampleFlow(r[6], r[7]);
  CubeMapParams p;
  p.ax = f0.early;
  p.bx = f0.late;
  p.ay = f1.early;
  p.by = f1.late;
  p.az = f2.early;
  p.bz = f2.late;
  p.logisticSeed = f3.early * kOneSixtieth;
  p.diffusionSeed = truncateToOctet(f3.late * 4.25);
  return p;
}

}  // namespace chaosmix::cube

#pragma once
// The cube cipher's key schedule: 16 key octets to the map reals and seeds of CubeMapParams.

#include <chaosmix/key.h>

#include <array>
#include <cstdint>

namespace chaosmix::cube {

// The per-call parameters of the cube cipher, a plain value.
struct CubeMapParams {
  double ax = 0, bx = 0, ay = 0, by = 0, az = 0, bz = 0;  // map reals of the permutation
  double logisticSeed = 0;                                // start of the keystream
  std::uint8_t diffusionSeed = 0;                         // start of every diffusion chain
};

using ScrambledKey = std::array<std::uint8_t, 16>;
using KeyReals = std::array<double, 8>;

struct FlowState {
  double x, y, z;
};

struct FlowSlopes {
  double kx, ky, kz;
};

struct FlowSamples {
  double early;  // zs[99], the third variable after 99 steps
  double late;   // zs[199], after 199 steps
};

// The scramble's 11 x 11 index table for column step e and row step st, row after row:
// entry (r, i) names row (r * st + i * e) mod 11 of column i.
std::array<std::uint8_t, 121> scrambleIndexTable(std::uint32_t e, std::uint32_t st);

// The key-bit scramble: seven chained passes over the 128 key bits through an 11 x 11 index
// table; every output octet is one of 0-3, 8-11, 64-67, 72-75.
ScrambledKey scrambleKeyBits(const CipherKey& in);

// 1 / (256 * hi + lo); +infinity when both octets are 0.
double pairReal(std::uint8_t hi, std::uint8_t lo);

// r[i] = pairReal(key[2i], key[2i + 1]).
KeyReals keyReals(const ScrambledKey& key);

// The constants of one flow run: the Chen system with a = 35, b = 3 and c from the key.
struct FlowConstants {
  double a = 35.0;
  double b = 3.0;
  double c;
  double h = 0.001;
};

// The twelve slopes of the four Runge-Kutta stages of one step from state s.
std::array<FlowSlopes, 4> flowStages(const FlowState& s, const FlowConstants& k);

// Runs `steps` fourth-order Runge-Kutta steps from `start` and returns the final state.
FlowState integrateFlow(FlowState start, const FlowConstants& k, int steps);

// One flow run started from two key reals: its early and late samples of z.
FlowSamples sampleFlow(double ra, double rb);

// The whole schedule.
CubeMapParams deriveCubeMapParams(const CipherKey& key);

}  // namespace chaosmix::cube

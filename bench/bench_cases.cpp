#include "bench/bench_cases.h"

#include "bench/aes_ctr.h"
#include "common/logistic.h"
#include "cube/key_schedule.h"
#include "cube/rounds.h"
#include "fold/box_shape.h"

#include <chaosmix/cube.h>
#include <chaosmix/fold.h>
#include <reference.h>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace chaosmix::bench {

namespace {

using Octets = std::vector<std::uint8_t>;

const CipherKey kKey = {0x3a, 0x91, 0x0c, 0x5e, 0xd2, 0x47, 0x88, 0x1f,
                        0xb3, 0x6d, 0x20, 0xe9, 0x74, 0x15, 0x9c, 0x42};

std::shared_ptr<const Octets> randomImage(std::size_t octets) {
  std::mt19937 rng(static_cast<unsigned>(octets));
  std::uniform_int_distribution<int> octet(0, 255);
  auto image = std::make_shared<Octets>(octets);
  for (auto& o : *image) o = static_cast<std::uint8_t>(octet(rng));
  return image;
}

std::string sizeName(std::size_t side) {
  return std::to_string(side) + "x" + std::to_string(side);
}

void addCubeCases(std::vector<BenchCase>& cases, std::size_t side) {
  const std::size_t n = side * side;
  const auto image = randomImage(n);
  for (const std::int32_t rounds : {1, 5}) {
    const auto cipher =
        std::make_shared<const Octets>(chaosmix::cubeEncrypt(*image, side, side, rounds, kKey));
    const std::string suffix = " " + sizeName(side) + " r" + std::to_string(rounds);
    cases.push_back({"cube encrypt" + suffix, static_cast<double>(n),
                     [=] {
                       benchmark::DoNotOptimize(
                           reference::cubeEncrypt(*image, side, side, rounds, kKey));
                     },
                     [=] {
                       benchmark::DoNotOptimize(
                           chaosmix::cubeEncrypt(*image, side, side, rounds, kKey));
                     },
                     {}});
    cases.push_back({"cube decrypt" + suffix, static_cast<double>(n),
                     [=] {
                       benchmark::DoNotOptimize(
                           reference::cubeDecrypt(*cipher, side, side, rounds, kKey));
                     },
                     [=] {
                       benchmark::DoNotOptimize(
                           chaosmix::cubeDecrypt(*cipher, side, side, rounds, kKey));
                     },
                     {}});
  }
}

// The keystream alone, and the floor: the same number of steps in a bare loop.
void addKeystreamCase(std::vector<BenchCase>& cases, std::size_t side) {
  const std::size_t n = side * side;
  const double seed = cube::deriveCubeMapParams(kKey).logisticSeed;
  Octets probe(n);
  const std::uint64_t steps = reference::cubeKeystream(probe, seed);
  cases.push_back({"cube keystream " + sizeName(side), static_cast<double>(n),
                   [=] {
                     Octets ks(n);
                     benchmark::DoNotOptimize(reference::cubeKeystream(ks, seed));
                     benchmark::DoNotOptimize(ks.data());
                   },
                   [=] {
                     Octets ks(n);
                     cube::cubeKeystream(ks, seed);
                     benchmark::DoNotOptimize(ks.data());
                   },
                   [=] { benchmark::DoNotOptimize(logisticFloor(steps, 0.3)); }});
}

void addFoldCases(std::vector<BenchCase>& cases, std::size_t side, CellKind kind) {
  const std::size_t n = side * side;
  const std::size_t octets = kind == CellKind::gray ? n : 3 * n;
  const auto image = randomImage(octets);
  const std::string kindName = kind == CellKind::gray ? "gray" : "colour";
  for (const std::int32_t rounds : {1, 10}) {
    const auto cipher = std::make_shared<const Octets>(
        chaosmix::foldEncrypt(*image, side, side, kind, rounds, kKey));
    const std::string suffix =
        " " + sizeName(side) + " " + kindName + " r" + std::to_string(rounds);
    const int repetitions = rounds > 1 ? 7 : 11;
    cases.push_back({"fold encrypt" + suffix, static_cast<double>(octets),
                     [=] {
                       benchmark::DoNotOptimize(
                           reference::foldEncrypt(*image, side, side, kind, rounds, kKey));
                     },
                     [=] {
                       benchmark::DoNotOptimize(
                           chaosmix::foldEncrypt(*image, side, side, kind, rounds, kKey));
                     },
                     {},
                     repetitions});
    cases.push_back({"fold decrypt" + suffix, static_cast<double>(octets),
                     [=] {
                       benchmark::DoNotOptimize(
                           reference::foldDecrypt(*cipher, side, side, kind, rounds, kKey));
                     },
                     [=] {
                       benchmark::DoNotOptimize(
                           chaosmix::foldDecrypt(*cipher, side, side, kind, rounds, kKey));
                     },
                     {},
                     repetitions});
  }
}

void addBoxShapeCase(std::vector<BenchCase>& cases) {
  constexpr std::int32_t kPrime = 999'999'937;  // the largest prime below 10^9
  cases.push_back({"makeBoxShape 999999937 cells", 0,
                   [] { benchmark::DoNotOptimize(reference::makeBoxShape(kPrime, 1, 258, 3)); },
                   [] { benchmark::DoNotOptimize(fold::makeBoxShape(kPrime, 1, 258, 3)); },
                   {},
                   3});
}

void addAesCase(std::vector<BenchCase>& cases, std::size_t octets, const std::string& name) {
  const auto image = randomImage(octets);
  cases.push_back({"AES-128-CTR " + name + " (context)", static_cast<double>(octets),
                   {},
                   [=] { benchmark::DoNotOptimize(aes128Ctr(*image)); },
                   {}});
}

}  // namespace

double logisticFloor(std::uint64_t steps, double x) {
  for (std::uint64_t i = 0; i < steps; ++i) x = logisticStep(x);
  return x;
}

std::vector<BenchCase> benchCases() {
  std::vector<BenchCase> cases;
  addCubeCases(cases, 256);
  addCubeCases(cases, 512);
  addKeystreamCase(cases, 256);
  addKeystreamCase(cases, 512);
  addFoldCases(cases, 512, CellKind::gray);
  addFoldCases(cases, 512, CellKind::colour);
  addBoxShapeCase(cases);
  addAesCase(cases, 512 * 512, "512x512 gray");
  addAesCase(cases, 3 * 512 * 512, "512x512 colour");
  return cases;
}

}  // namespace chaosmix::bench

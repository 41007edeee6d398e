#include "cube/rounds.h"

#include "cube/permutation.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace chaosmix::cube {
namespace {

using Octets = std::vector<std::uint8_t>;

Octets keystream(double seed, std::size_t n) {
  Octets k(n);
  cubeKeystream(k, seed);
  return k;
}

CubeMapParams params(double mapReal, double logisticSeed, std::uint8_t diffusionSeed) {
  CubeMapParams p;
  p.ax = p.bx = p.ay = p.by = p.az = p.bz = mapReal;
  p.logisticSeed = logisticSeed;
  p.diffusionSeed = diffusionSeed;
  return p;
}

Octets encrypt(const CubeMapParams& p, Octets pixels, std::int32_t rounds) {
  Octets work(pixels.size(), 0);
  cubeEncryptRounds(p, pixels, work, rounds);
  return work;
}

Octets decrypt(const CubeMapParams& p, Octets pixels, std::int32_t rounds) {
  Octets work(pixels.size(), 0);
  cubeDecryptRounds(p, pixels, work, rounds);
  return work;
}

TEST(CubeKeystream, SeedsThatLeaveTheUnitIntervalShareOneKeystream) {
  const Octets expected = {181, 173, 77, 64, 131, 50, 42, 80, 111, 75, 139, 170, 128, 79, 0, 99};
  const double inf = std::numeric_limits<double>::infinity();
  for (double seed : {0.0, 0.5, 1.0, 2.0, -1.0, inf, -inf,
                      std::numeric_limits<double>::quiet_NaN()})
    EXPECT_EQ(keystream(seed, 16), expected) << seed;
}

TEST(CubeKeystream, Examples) {
  EXPECT_EQ(keystream(0.75, 64), Octets(64, 233));  // a fixed point of the logistic step
  EXPECT_EQ(keystream(0.3, 8), (Octets{164, 57, 241, 143, 78, 51, 152, 90}));
  EXPECT_EQ(keystream(0.3, 0), Octets{});
  // The keystream is one chain: a shorter one is a prefix of a longer one.
  const Octets longer = keystream(0.3, 1000);
  EXPECT_EQ(Octets(longer.begin(), longer.begin() + 8), keystream(0.3, 8));
}

TEST(Diffusion, ExampleAndInverse) {
  const Octets k = {10, 200, 255};
  Octets w = {0, 100, 255};
  forwardDiffusion(w, k, 7);
  EXPECT_EQ(w, (Octets{7, 227, 226}));
  Octets back(3);
  inverseDiffusion(w, back, k, 7);
  EXPECT_EQ(back, (Octets{0, 100, 255}));
}

TEST(CubeRounds, ThreeCellExample) {
  const CubeMapParams p = params(45, 0.3, 7);  // fewer than 8 cells: identity table
  EXPECT_EQ(encrypt(p, {10, 20, 30}, 1), (Octets{13, 121, 135}));
  EXPECT_EQ(encrypt(p, {10, 20, 30}, 2), (Octets{136, 3, 12}));
  EXPECT_EQ(decrypt(p, {13, 121, 135}, 1), (Octets{10, 20, 30}));
  EXPECT_EQ(decrypt(p, {136, 3, 12}, 2), (Octets{10, 20, 30}));
}

TEST(CubeRounds, EightCellExample) {
  const CubeMapParams p = params(45, 0.3, 7);  // table 0, 2, 5, 7, 3, 1, 6, 4
  const Octets plain = {0, 1, 2, 3, 4, 5, 6, 7};
  // One round is the diffused scatter, not reversed: undoing the diffusion shows the scatter.
  const Octets one = encrypt(p, plain, 1);
  EXPECT_EQ(one, (Octets{7, 0, 3, 31, 4, 2, 4, 3}));
  Octets scattered(8);
  inverseDiffusion(one, scattered, keystream(0.3, 8), 7);
  EXPECT_EQ(scattered, (Octets{0, 5, 1, 4, 7, 2, 6, 3}));
  const Octets two = encrypt(p, plain, 2);
  EXPECT_EQ(two, (Octets{4, 1, 5, 36, 63, 57, 57, 61}));
  EXPECT_EQ(decrypt(p, one, 1), plain);
  EXPECT_EQ(decrypt(p, two, 2), plain);
  for (std::int32_t rounds = 3; rounds <= 9; ++rounds)
    EXPECT_EQ(decrypt(p, encrypt(p, plain, rounds), rounds), plain) << rounds;
}

TEST(CubeRounds, SmallImagesAreDiffusionAndReversalOnly) {
  const CubeMapParams p = params(45, 0.3, 7);
  const Octets plain = {9, 8, 7, 6, 5};
  const Octets k = keystream(0.3, 5);
  Octets first = plain;
  forwardDiffusion(first, k, 7);
  EXPECT_EQ(encrypt(p, plain, 1), first);
  Octets second(first.rbegin(), first.rend());
  forwardDiffusion(second, k, 7);
  EXPECT_EQ(encrypt(p, plain, 2), second);
}

TEST(CubeRounds, NoRoundLeavesBothBuffersUntouched) {
  const CubeMapParams p = params(45, 0.3, 7);
  for (std::int32_t rounds : {0, -1, std::numeric_limits<std::int32_t>::min()}) {
    Octets pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    Octets work(9, 0xAB);
    cubeEncryptRounds(p, pixels, work, rounds);
    EXPECT_EQ(work, Octets(9, 0xAB));
    EXPECT_EQ(pixels, (Octets{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    cubeDecryptRounds(p, pixels, work, rounds);
    EXPECT_EQ(work, Octets(9, 0xAB));
    EXPECT_EQ(pixels, (Octets{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  }
}

TEST(CubeRounds, EmptyBuffers) {
  const CubeMapParams p = params(45, 0.3, 7);
  EXPECT_EQ(encrypt(p, {}, 3), Octets{});
  EXPECT_EQ(decrypt(p, {}, 3), Octets{});
}

TEST(CubeRounds, UnreachedTargetsKeepTheWorkBuffer) {
  // The determinant-2 table 0, 6, 3, 5, 3, 5, 0, 6 never writes cells 1, 2, 4 and 7: in the
  // first round they keep what the caller handed in.
  CubeMapParams p = params(45, 0.3, 0);
  p.bx = p.bz = 75;
  Octets pixels = {10, 11, 12, 13, 14, 15, 16, 17};
  Octets zeros(8, 0), ones(8, 1);
  Octets pixelsA = pixels, pixelsB = pixels;
  cubeEncryptRounds(p, pixelsA, zeros, 1);
  cubeEncryptRounds(p, pixelsB, ones, 1);
  EXPECT_NE(zeros, ones);
  const Octets k = keystream(0.3, 8);
  Octets expected = {16, 0, 0, 14, 0, 15, 17, 0};  // last writer wins; zeros elsewhere
  forwardDiffusion(expected, k, 0);
  EXPECT_EQ(zeros, expected);
}

}  // namespace
}  // namespace chaosmix::cube

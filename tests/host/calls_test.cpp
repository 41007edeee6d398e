// What the four deliverables return for valid arguments: shapes, conversions, key orders,
// equality with the library, round trips, and the lossy-permutation warning.

#include "deliverables.h"

#include <chaosmix/cube.h>
#include <chaosmix/fold.h>

#include "fold/cells.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace chaosmix::test {
namespace {

using host::ArrayPtr;
using Octets = std::vector<std::uint8_t>;
using Values = std::vector<double>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

const CipherKey kKey = {12, 250, 7, 99, 0, 31, 128, 64, 200, 5, 17, 240, 33, 1, 77, 160};

Values toValues(const Octets& octets) { return Values(octets.begin(), octets.end()); }

Values keyRow(const CipherKey& key) { return Values(key.begin(), key.end()); }

Values randomPixels(std::mt19937& rng, std::size_t n) {
  Values v(n);
  for (double& x : v) x = static_cast<double>(rng() % 256);
  return v;
}

Octets asOctets(const Values& v) {
  Octets o;
  for (double x : v) o.push_back(static_cast<std::uint8_t>(x));
  return o;
}

// Calls a deliverable with (image, rounds, key) and one requested result.
ArrayPtr call(const std::string& name, const mxArray* image, const mxArray* rounds,
              const mxArray* key, int nlhs = 1) {
  const std::vector<const mxArray*> prhs{image, rounds, key};
  return host::callMex(deliverable(name), nlhs, prhs);
}

Values values(const ArrayPtr& a) {
  const auto v = host::valuesOf(*a);
  return Values(v.begin(), v.end());
}

std::vector<mwSize> dims(const ArrayPtr& a) { return host::dimensionsOf(*a); }

TEST(DeliverableCalls, CubeResultsEqualTheLibrary) {
  std::mt19937 rng(7);
  const Values pixels = randomPixels(rng, 12 * 10);
  const ArrayPtr image = host::makeDouble({12, 10}, pixels);
  const ArrayPtr key = host::makeRow(keyRow(kKey));
  for (int rounds : {1, 2, 5}) {
    SCOPED_TRACE(rounds);
    const ArrayPtr r = host::makeScalar(rounds);
    const ArrayPtr c = call("cubemix", image.get(), r.get(), key.get());
    EXPECT_EQ(dims(c), (std::vector<mwSize>{12, 10}));
    EXPECT_EQ(values(c), toValues(cubeEncrypt(asOctets(pixels), 12, 10, rounds, kKey)));
    const ArrayPtr p = call("cubeunmix", c.get(), r.get(), key.get());
    EXPECT_EQ(values(p), toValues(cubeDecrypt(asOctets(values(c)), 12, 10, rounds, kKey)));
    EXPECT_EQ(values(p), pixels);
  }
}

TEST(DeliverableCalls, FoldResultsEqualTheLibraryGrayAndColour) {
  std::mt19937 rng(8);
  for (mwSize planes : {1, 3}) {
    SCOPED_TRACE(planes);
    const Values pixels = randomPixels(rng, 9 * 14 * planes);
    const ArrayPtr image = host::makeDouble({9, 14, planes}, pixels);
    const ArrayPtr key = host::makeRow(keyRow(kKey));
    const CellKind kind = planes == 1 ? CellKind::gray : CellKind::colour;
    for (int rounds : {1, 2, 3}) {
      SCOPED_TRACE(rounds);
      const ArrayPtr r = host::makeScalar(rounds);
      const ArrayPtr c = call("foldmix", image.get(), r.get(), key.get());
      EXPECT_EQ(dims(c), planes == 1 ? (std::vector<mwSize>{9, 14})
                                     : (std::vector<mwSize>{9, 14, 3}));
      EXPECT_EQ(values(c), toValues(foldEncrypt(asOctets(pixels), 9, 14, kind, rounds, kKey)));
      EXPECT_NE(values(c), pixels);
      const ArrayPtr p = call("foldunmix", c.get(), r.get(), key.get());
      EXPECT_EQ(values(p), toValues(foldDecrypt(asOctets(values(c)), 9, 14, kind, rounds, kKey)));
      EXPECT_EQ(values(p), pixels);
    }
  }
}

const char* const kAll[] = {"cubemix", "cubeunmix", "foldmix", "foldunmix"};

TEST(DeliverableCalls, NoRequestedResultAndAFourthArgument) {
  const ArrayPtr image = host::makeDouble({3, 5}, Values(15, 9.0));
  const ArrayPtr rounds = host::makeScalar(2);
  const ArrayPtr key = host::makeRow(keyRow(kKey));
  const ArrayPtr extra = host::makeOfClass(mxCHAR_CLASS, {1, 4});
  for (const char* name : kAll) {
    SCOPED_TRACE(name);
    const ArrayPtr plain = call(name, image.get(), rounds.get(), key.get());
    const ArrayPtr none = call(name, image.get(), rounds.get(), key.get(), 0);
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(values(none), values(plain));
    const std::vector<const mxArray*> four{image.get(), rounds.get(), key.get(), extra.get()};
    const ArrayPtr withExtra = host::callMex(deliverable(name), 1, four);
    EXPECT_EQ(values(withExtra), values(plain));
  }
}

TEST(DeliverableCalls, RoundCountConversions) {
  struct Case {
    Values given;
    double equivalent;
  };
  const Case cases[] = {{{2.9}, 2},          {{-0.5}, 0},
                        {{4294967297.0}, 1}, {{2147483648.0}, -2147483648.0},
                        {{kNaN}, 0},         {{2, 7, 9}, 2},
                        {{1e300}, 0},        {{-1.5}, -1}};
  std::mt19937 rng(9);
  const ArrayPtr image = host::makeDouble({4, 6}, randomPixels(rng, 24));
  const ArrayPtr key = host::makeRow(keyRow(kKey));
  for (const char* name : kAll) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(name) + " " + std::to_string(c.given[0]));
      const ArrayPtr given = host::makeRow(c.given);
      const ArrayPtr equivalent = host::makeScalar(c.equivalent);
      EXPECT_EQ(values(call(name, image.get(), given.get(), key.get())),
                values(call(name, image.get(), equivalent.get(), key.get())));
    }
    // The conversions above are only meaningful when the round count changes the result.
    const ArrayPtr one = host::makeScalar(1);
    const ArrayPtr two = host::makeScalar(2);
    EXPECT_NE(values(call(name, image.get(), one.get(), key.get())),
              values(call(name, image.get(), two.get(), key.get())));
  }
}

TEST(DeliverableCalls, NoRoundGivesZerosInCubeAndTheConvertedImageInFold) {
  const Values gray = {300, -1, 3.7, kNaN, 255, 256, -256.5, 1e20};
  const Values octets = {44, 255, 3, 0, 255, 0, 0, 0};
  const ArrayPtr image = host::makeDouble({2, 4}, gray);
  const ArrayPtr key = host::makeRow(keyRow(kKey));
  for (double r : {0.0, -3.0, -2147483648.0}) {
    const ArrayPtr rounds = host::makeScalar(r);
    for (const char* name : {"foldmix", "foldunmix"})
      EXPECT_EQ(values(call(name, image.get(), rounds.get(), key.get())), octets) << name;
    for (const char* name : {"cubemix", "cubeunmix"})
      EXPECT_EQ(values(call(name, image.get(), rounds.get(), key.get())), Values(8, 0.0)) << name;
  }
  // Each colour plane is converted alike.
  Values colour;
  for (int plane = 0; plane < 3; ++plane) colour.insert(colour.end(), gray.begin(), gray.end());
  Values colourOctets;
  for (int plane = 0; plane < 3; ++plane)
    colourOctets.insert(colourOctets.end(), octets.begin(), octets.end());
  const ArrayPtr colourImage = host::makeDouble({2, 4, 3}, colour);
  const ArrayPtr zero = host::makeScalar(0);
  EXPECT_EQ(values(call("foldmix", colourImage.get(), zero.get(), key.get())), colourOctets);
}

TEST(DeliverableCalls, ImageElementsEnterTheCipherAsTheirLowOctets) {
  const Values raw = {300, -1, 3.7, kNaN, 1e300, -0.9, 511, 2.5};
  const Octets octets = {44, 255, 3, 0, 0, 0, 255, 2};
  const ArrayPtr image = host::makeDouble({2, 4}, raw);
  const ArrayPtr rounds = host::makeScalar(3);
  const ArrayPtr key = host::makeRow(keyRow(kKey));
  EXPECT_EQ(values(call("cubemix", image.get(), rounds.get(), key.get())),
            toValues(cubeEncrypt(octets, 2, 4, 3, kKey)));
  EXPECT_EQ(values(call("foldmix", image.get(), rounds.get(), key.get())),
            toValues(foldEncrypt(octets, 2, 4, CellKind::gray, 3, kKey)));
  // A complex image is read through its real part.
  const ArrayPtr complexImage = host::makeComplex({2, 4}, raw, Values(8, 5.0));
  EXPECT_EQ(values(call("cubemix", complexImage.get(), rounds.get(), key.get())),
            toValues(cubeEncrypt(octets, 2, 4, 3, kKey)));
}

TEST(DeliverableCalls, KeyElementsAndKeyOrders) {
  // Elements reduce like pixels: 300, -1, 3.7 and NaN give 44, 255, 3 and 0.
  Values rawKey = keyRow(kKey);
  CipherKey reduced = kKey;
  const double raw[] = {300, -1, 3.7, kNaN};
  const std::uint8_t low[] = {44, 255, 3, 0};
  for (int i = 0; i < 4; ++i) {
    rawKey[4 + i] = raw[i];
    reduced[4 + i] = low[i];
  }
  // A keyRows x keyCols key whose element (i, j) is octet i * keyCols + j of `octets`.
  auto keyMatrix = [](std::vector<mwSize> shape, mwSize keyRows, const Values& octets) {
    const mwSize keyCols = 16 / keyRows;
    Values data(16);
    for (mwSize i = 0; i < keyRows; ++i)
      for (mwSize j = 0; j < keyCols; ++j) data[i + keyRows * j] = octets[i * keyCols + j];
    return host::makeDouble(std::move(shape), data);
  };
  std::mt19937 rng(10);
  const Values pixels = randomPixels(rng, 5 * 7 * 3);
  const ArrayPtr gray = host::makeDouble({5, 7}, Values(pixels.begin(), pixels.begin() + 35));
  const ArrayPtr colour = host::makeDouble({5, 7, 3}, pixels);
  const ArrayPtr rounds = host::makeScalar(2);
  const Octets grayOctets = asOctets(Values(pixels.begin(), pixels.begin() + 35));
  const Values cubeExpected = toValues(cubeEncrypt(grayOctets, 5, 7, 2, reduced));
  const Values foldExpected =
      toValues(foldEncrypt(asOctets(pixels), 5, 7, CellKind::colour, 2, reduced));
  struct Shape {
    const char* what;
    std::vector<mwSize> dims;
    mwSize keyRows;
  };
  const Shape shapes[] = {{"1 x 16", {1, 16}, 1},   {"16 x 1", {16, 1}, 16},
                          {"4 x 4", {4, 4}, 4},     {"2 x 8", {2, 8}, 2},
                          {"8 x 2", {8, 2}, 8},     {"2 x 2 x 4", {2, 2, 4}, 2},
                          {"1 x 1 x 16", {1, 1, 16}, 1}};
  for (const Shape& s : shapes) {
    SCOPED_TRACE(s.what);
    const ArrayPtr key = keyMatrix(s.dims, s.keyRows, rawKey);
    EXPECT_EQ(values(call("cubemix", gray.get(), rounds.get(), key.get())), cubeExpected);
    EXPECT_EQ(values(call("foldmix", colour.get(), rounds.get(), key.get())), foldExpected);
  }
  // The order matters: a 4 x 4 key read column by column would be another key.
  const ArrayPtr columnWise = host::makeDouble({4, 4}, rawKey);
  EXPECT_NE(values(call("cubemix", gray.get(), rounds.get(), columnWise.get())), cubeExpected);
}

TEST(DeliverableCalls, ExtraDimensions) {
  std::mt19937 rng(11);
  const Values pixels = randomPixels(rng, 6 * 5 * 4);
  const ArrayPtr rounds = host::makeScalar(2);
  const ArrayPtr key = host::makeRow(keyRow(kKey));
  const Values first(pixels.begin(), pixels.begin() + 30);
  const ArrayPtr plain = host::makeDouble({6, 5}, first);
  // rows x columns x 3 x 2 (and x 1 x 4): gray, from the first rows x columns elements.
  const ArrayPtr fourD = host::makeDouble({6, 5, 2, 2}, pixels);
  const ArrayPtr fiveD = host::makeDouble({6, 5, 1, 2, 2}, pixels);
  const ArrayPtr threeD = host::makeDouble({6, 5, 1}, first);
  for (const char* name : kAll) {
    SCOPED_TRACE(name);
    const Values expected = values(call(name, plain.get(), rounds.get(), key.get()));
    for (const ArrayPtr* image : {&fourD, &fiveD, &threeD}) {
      const ArrayPtr r = call(name, image->get(), rounds.get(), key.get());
      EXPECT_EQ(dims(r), (std::vector<mwSize>{6, 5}));
      EXPECT_EQ(values(r), expected);
    }
  }
  // M x N x 4: processed from the first three planes, the fourth left as created (zeros).
  const ArrayPtr four = host::makeDouble({6, 5, 4}, pixels);
  const ArrayPtr three = host::makeDouble({6, 5, 3}, Values(pixels.begin(), pixels.begin() + 90));
  for (const char* name : {"foldmix", "foldunmix"}) {
    SCOPED_TRACE(name);
    const ArrayPtr r = call(name, four.get(), rounds.get(), key.get());
    EXPECT_EQ(dims(r), (std::vector<mwSize>{6, 5, 4}));
    Values expected = values(call(name, three.get(), rounds.get(), key.get()));
    expected.resize(120, 0.0);
    EXPECT_EQ(values(r), expected);
  }
}

TEST(DeliverableCalls, ImagesWithoutCellsGiveEmptyResults) {
  const ArrayPtr rounds = host::makeScalar(2);
  const ArrayPtr key = host::makeRow(keyRow(kKey));
  struct Case {
    std::vector<mwSize> image;
    std::vector<mwSize> cube;  // result dimensions
    std::vector<mwSize> fold;
  };
  const Case cases[] = {{{0, 0}, {0, 0}, {0, 0}},
                        {{0, 5}, {0, 5}, {0, 5}},
                        {{5, 0}, {5, 0}, {5, 0}},
                        {{0, 5, 3}, {}, {0, 5, 3}},
                        {{5, 5, 0}, {}, {5, 5, 0}},
                        {{0, 5, 3, 2}, {0, 5}, {0, 5}}};
  for (const Case& c : cases) {
    const ArrayPtr image = host::makeOfClass(mxDOUBLE_CLASS, c.image);
    for (const char* name : kAll) {
      const bool cube = name[0] == 'c';
      const std::vector<mwSize>& expected = cube ? c.cube : c.fold;
      if (expected.empty()) continue;  // refused by the gray-only check
      SCOPED_TRACE(name);
      const ArrayPtr r = call(name, image.get(), rounds.get(), key.get());
      EXPECT_EQ(dims(r), expected);
      EXPECT_TRUE(values(r).empty());
    }
  }
}

TEST(DeliverableCalls, UnpackCellExamples) {
  struct Case {
    std::int32_t cell;
    std::uint8_t p1, p2, p3;
  };
  const Case cases[] = {{3 * 65536 + 2 * 256 + 1, 1, 2, 3},
                        {-1, 255, 255, 255},
                        {-257, 255, 254, 255},
                        {-16777216, 0, 0, 0}};
  for (const Case& c : cases) {
    const fold::PlaneOctets o = fold::unpackCell(c.cell);
    EXPECT_EQ(o.p1, c.p1);
    EXPECT_EQ(o.p2, c.p2);
    EXPECT_EQ(o.p3, c.p3);
  }
  EXPECT_EQ(fold::packColour(1, 2, 3), 3 * 65536 + 2 * 256 + 1);
}

// A key whose cube permutation for `cells` cells is not one-to-one.
CipherKey lossyKey(std::size_t cells) {
  CipherKey key = kKey;
  for (int i = 0; i < 256; ++i) {
    key[0] = static_cast<std::uint8_t>(i);
    if (!cubePermutationReach(cells, key).oneToOne) return key;
  }
  throw std::runtime_error("no lossy key found");
}

TEST(DeliverableCalls, LossyCubePermutationWarnsAndLeavesTheResultAlone) {
  // 480 x 450 cells form one cube of edge 60, which loses cells for most keys.
  const mwSize rows = 480, columns = 450;
  const CipherKey lossy = lossyKey(rows * columns);
  std::mt19937 rng(12);
  const Values pixels = randomPixels(rng, rows * columns);
  const ArrayPtr image = host::makeDouble({rows, columns}, pixels);
  const ArrayPtr key = host::makeRow(keyRow(lossy));
  for (const char* name : {"cubemix", "cubeunmix"}) {
    SCOPED_TRACE(name);
    for (double r : {1.0, 2.0}) {
      host::WarningLog log;
      const ArrayPtr rounds = host::makeScalar(r);
      const ArrayPtr result = call(name, image.get(), rounds.get(), key.get());
      ASSERT_EQ(log.warnings().size(), 1u);
      EXPECT_EQ(log.warnings()[0].id, "chaosmix:lossyPermutation");
      EXPECT_NE(log.warnings()[0].text.find("cubeunmix cannot restore this image with this key "
                                            "and size"),
                std::string::npos);
      const Octets expected = name == std::string("cubemix")
                                  ? cubeEncrypt(asOctets(pixels), rows, columns, int(r), lossy)
                                  : cubeDecrypt(asOctets(pixels), rows, columns, int(r), lossy);
      EXPECT_EQ(values(result), toValues(expected));
    }
    host::WarningLog quiet;
    const ArrayPtr zero = host::makeScalar(0);
    call(name, image.get(), zero.get(), key.get());
    const ArrayPtr good = host::makeRow(Values(16, 0.0));  // the identity permutation
    const ArrayPtr one = host::makeScalar(1);
    call(name, image.get(), one.get(), good.get());
    EXPECT_TRUE(quiet.warnings().empty());
  }
}

}  // namespace
}  // namespace chaosmix::test

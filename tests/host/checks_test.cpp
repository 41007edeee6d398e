// The argument checks of the four deliverables: every text, and their order, in one table.

#include "deliverables.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace chaosmix::test {
namespace {

using host::ArrayPtr;

constexpr const char* kTooFew = "At least three input arguments is required.";
constexpr const char* kTooMany = "Too many output arguments.";
constexpr const char* kGrayOnly = "Currently only gray-scale images are supported.\n";
constexpr const char* kCubeImageClass = "Elements in matrix should be double type.";
constexpr const char* kFoldImageClass = "Elements in matrix should be of double type.";
constexpr const char* kRoundsClass = "Elements in second matrix should be of double type.";
constexpr const char* kKeyClassOf = "Elements in second matrix should be of double type.";
constexpr const char* kKeyClass = "Elements in second matrix should be double type.";
constexpr const char* kKeyLengthOf = "Key should be 16 bits of length.";
constexpr const char* kKeyLengthIn = "Key should be 16 bits in length.";
constexpr const char* kSparse =
    "Sparse arguments are not supported: convert them with full() first.";
constexpr const char* kEmptyRounds = "Round count should not be empty.";
constexpr const char* kCubeTooLarge = "Image is too large: at most 999999999 cells are supported.";
constexpr const char* kFoldTooLarge =
    "Image is too large: at most 2147483647 cells are supported.";
constexpr const char* kTwoPlanes = "Colour images should have three planes.";
constexpr const char* kNoElements = "The image has no elements.";
// Marks a deliverable the case does not apply to (the call would run the cipher on a huge image).
constexpr const char* kSkip = "(not called)";

// The expected text per deliverable; null where the call succeeds.
struct Expected {
  const char* cubemix;
  const char* cubeunmix;
  const char* foldmix;
  const char* foldunmix;
};

ArrayPtr image(std::vector<mwSize> dims) {
  std::size_t count = 1;
  for (mwSize d : dims) count *= d;
  return host::makeDouble(std::move(dims), std::vector<double>(count, 7.0));
}
ArrayPtr rounds() { return host::makeScalar(1); }
ArrayPtr key() { return host::makeRow(std::vector<double>(16, 3.0)); }
ArrayPtr keyOf(std::vector<mwSize> dims) { return image(std::move(dims)); }

std::vector<ArrayPtr> args(ArrayPtr a, ArrayPtr b, ArrayPtr c) {
  std::vector<ArrayPtr> v;
  v.push_back(std::move(a));
  v.push_back(std::move(b));
  v.push_back(std::move(c));
  return v;
}

struct Case {
  const char* what;
  int nlhs;
  std::function<std::vector<ArrayPtr>()> arguments;
  Expected expected;
};

constexpr mwSize k2to32 = mwSize{1} << 32;

const std::vector<Case>& cases() {
  static const std::vector<Case> table = {
      {"two arguments and two results: the argument count comes first", 2,
       [] {
         std::vector<ArrayPtr> v;
         v.push_back(image({4, 4}));
         v.push_back(rounds());
         return v;
       },
       {kTooFew, kTooFew, kTooFew, kTooFew}},
      {"no argument", 1, [] { return std::vector<ArrayPtr>(); },
       {kTooFew, kTooFew, kTooFew, kTooFew}},
      {"two results", 2, [] { return args(image({4, 4}), rounds(), key()); },
       {kTooMany, kTooMany, kTooMany, kTooMany}},
      {"two results and a bad image", 2,
       [] { return args(host::makeOfClass(mxUINT8_CLASS, {4, 4, 3}), rounds(), key()); },
       {kTooMany, kTooMany, kTooMany, kTooMany}},
      {"8-bit colour image: shape before class in the cube deliverables", 1,
       [] { return args(host::makeOfClass(mxUINT8_CLASS, {4, 4, 3}), rounds(), key()); },
       {kGrayOnly, kGrayOnly, kFoldImageClass, kFoldImageClass}},
      {"double colour image", 1, [] { return args(image({4, 4, 3}), rounds(), key()); },
       {kGrayOnly, kGrayOnly, nullptr, nullptr}},
      {"two planes", 1, [] { return args(image({4, 4, 2}), rounds(), key()); },
       {kGrayOnly, kGrayOnly, kTwoPlanes, kTwoPlanes}},
      {"rows x columns x 1 image", 1, [] { return args(image({4, 4, 1}), rounds(), key()); },
       {nullptr, nullptr, nullptr, nullptr}},
      {"8-bit gray image", 1,
       [] { return args(host::makeOfClass(mxUINT8_CLASS, {4, 4}), rounds(), key()); },
       {kCubeImageClass, kCubeImageClass, kFoldImageClass, kFoldImageClass}},
      {"single image", 1,
       [] { return args(host::makeOfClass(mxSINGLE_CLASS, {4, 4}), rounds(), key()); },
       {kCubeImageClass, kCubeImageClass, kFoldImageClass, kFoldImageClass}},
      {"logical image and single round count: the image comes first", 1,
       [] {
         return args(host::makeOfClass(mxLOGICAL_CLASS, {4, 4}),
                     host::makeOfClass(mxSINGLE_CLASS, {1, 1}), key());
       },
       {kCubeImageClass, kCubeImageClass, kFoldImageClass, kFoldImageClass}},
      {"single round count and 8-bit key: the round count comes first", 1,
       [] {
         return args(image({4, 4}), host::makeOfClass(mxSINGLE_CLASS, {1, 1}),
                     host::makeOfClass(mxUINT8_CLASS, {1, 16}));
       },
       {kRoundsClass, kRoundsClass, kRoundsClass, kRoundsClass}},
      {"int32 round count", 1,
       [] { return args(image({4, 4}), host::makeOfClass(mxINT32_CLASS, {1, 1}), key()); },
       {kRoundsClass, kRoundsClass, kRoundsClass, kRoundsClass}},
      {"char key of 15 elements: the class comes first", 1,
       [] { return args(image({4, 4}), rounds(), host::makeOfClass(mxCHAR_CLASS, {1, 15})); },
       {kKeyClass, kKeyClass, kKeyClassOf, kKeyClass}},
      {"8-bit key", 1,
       [] { return args(image({4, 4}), rounds(), host::makeOfClass(mxUINT8_CLASS, {1, 16})); },
       {kKeyClass, kKeyClass, kKeyClassOf, kKeyClass}},
      {"key of 15 elements", 1, [] { return args(image({4, 4}), rounds(), keyOf({1, 15})); },
       {kKeyLengthOf, kKeyLengthOf, kKeyLengthIn, kKeyLengthOf}},
      {"key of 17 elements", 1, [] { return args(image({4, 4}), rounds(), keyOf({17, 1})); },
       {kKeyLengthOf, kKeyLengthOf, kKeyLengthIn, kKeyLengthOf}},
      {"empty key", 1, [] { return args(image({4, 4}), rounds(), keyOf({0, 0})); },
       {kKeyLengthOf, kKeyLengthOf, kKeyLengthIn, kKeyLengthOf}},
      {"key of 2 x 2 x 2 x 2 elements", 1,
       [] { return args(image({4, 4}), rounds(), keyOf({2, 2, 2, 2})); },
       {nullptr, nullptr, nullptr, nullptr}},
      {"key whose element count wraps to 16 in 64 bits", 1,
       [] {
         return args(image({4, 4}), rounds(),
                     host::makeShapeOnly({(mwSize{1} << 60) + 1, 16}));
       },
       {kKeyLengthOf, kKeyLengthOf, kKeyLengthIn, kKeyLengthOf}},
      {"sparse key of 15 elements: the length comes first", 1,
       [] { return args(image({4, 4}), rounds(), host::makeSparse(1, 15, {1.0})); },
       {kKeyLengthOf, kKeyLengthOf, kKeyLengthIn, kKeyLengthOf}},
      {"sparse image", 1,
       [] { return args(host::makeSparse(4, 4, {1.0, 2.0}), rounds(), key()); },
       {kSparse, kSparse, kSparse, kSparse}},
      {"sparse round count", 1,
       [] { return args(image({4, 4}), host::makeSparse(1, 1, {}), key()); },
       {kSparse, kSparse, kSparse, kSparse}},
      {"sparse key", 1,
       [] { return args(image({4, 4}), rounds(), host::makeSparse(4, 4, {1.0})); },
       {kSparse, kSparse, kSparse, kSparse}},
      {"sparse key and empty round count: sparse comes first", 1,
       [] {
         return args(image({4, 4}), host::makeDouble({0, 0}, {}), host::makeSparse(1, 16, {}));
       },
       {kSparse, kSparse, kSparse, kSparse}},
      {"empty round count", 1,
       [] { return args(image({4, 4}), host::makeDouble({1, 0}, {}), key()); },
       {kEmptyRounds, kEmptyRounds, kEmptyRounds, kEmptyRounds}},
      {"empty round count and a huge image: the round count comes first", 1,
       [] {
         return args(host::makeShapeOnly({40000, 25000}), host::makeDouble({0, 1}, {}), key());
       },
       {kEmptyRounds, kEmptyRounds, kEmptyRounds, kEmptyRounds}},
      {"1,000,000,000 cells", 1,
       [] { return args(host::makeShapeOnly({40000, 25000}), rounds(), key()); },
       {kCubeTooLarge, kCubeTooLarge, kSkip, kSkip}},
      {"2^31 cells", 1,
       [] { return args(host::makeShapeOnly({65536, 32768}), rounds(), key()); },
       {kCubeTooLarge, kCubeTooLarge, kFoldTooLarge, kFoldTooLarge}},
      {"46341 x 46341 cells", 1,
       [] { return args(host::makeShapeOnly({46341, 46341}), rounds(), key()); },
       {kCubeTooLarge, kCubeTooLarge, kFoldTooLarge, kFoldTooLarge}},
      {"2^32 x 2^32 cells, a product that wraps to 0 in 64 bits", 1,
       [] { return args(host::makeShapeOnly({k2to32, k2to32}), rounds(), key()); },
       {kCubeTooLarge, kCubeTooLarge, kFoldTooLarge, kFoldTooLarge}},
      {"huge image of two planes: the size comes first", 1,
       [] { return args(host::makeShapeOnly({65536, 32768, 2}), rounds(), key()); },
       {kGrayOnly, kGrayOnly, kFoldTooLarge, kFoldTooLarge}},
      {"4 x 4 x 3 x 0 image", 1, [] { return args(image({4, 4, 3, 0}), rounds(), key()); },
       {kNoElements, kNoElements, kNoElements, kNoElements}},
      {"4 x 4 x 0 x 5 image", 1, [] { return args(image({4, 4, 0, 5}), rounds(), key()); },
       {kNoElements, kNoElements, kNoElements, kNoElements}},
      {"0 x 4 x 3 x 0 image: no cells", 1,
       [] { return args(image({0, 4, 3, 0}), rounds(), key()); },
       {nullptr, nullptr, nullptr, nullptr}},
      {"0 x 4 x 2 image", 1, [] { return args(image({0, 4, 2}), rounds(), key()); },
       {kGrayOnly, kGrayOnly, kTwoPlanes, kTwoPlanes}},
  };
  return table;
}

const char* expectedFor(const Expected& e, const std::string& name) {
  if (name == "cubemix") return e.cubemix;
  if (name == "cubeunmix") return e.cubeunmix;
  if (name == "foldmix") return e.foldmix;
  return e.foldunmix;
}

TEST(DeliverableChecks, EveryTextInItsOrder) {
  for (const std::string name : {"cubemix", "cubeunmix", "foldmix", "foldunmix"}) {
    const host::MexFunction function = deliverable(name);
    for (const Case& c : cases()) {
      SCOPED_TRACE(name + ": " + c.what);
      const std::vector<ArrayPtr> arrays = c.arguments();
      std::vector<const mxArray*> prhs;
      for (const ArrayPtr& a : arrays) prhs.push_back(a.get());
      // A host gives at least one result slot; it must stay empty when a check fails.
      std::vector<mxArray*> plhs(2, nullptr);
      const char* expected = expectedFor(c.expected, name);
      if (expected == kSkip) continue;
      try {
        function(c.nlhs, plhs.data(), static_cast<int>(prhs.size()), prhs.data());
        EXPECT_EQ(expected, nullptr) << "the call succeeded";
      } catch (const host::MexError& e) {
        ASSERT_NE(expected, nullptr) << "unexpected error: " << e.message();
        EXPECT_EQ(e.message(), expected);
        EXPECT_EQ(plhs[0], nullptr) << "a result was created before a check failed";
      }
      for (mxArray* result : plhs) host::ArrayDeleter()(result);
    }
  }
}

}  // namespace
}  // namespace chaosmix::test

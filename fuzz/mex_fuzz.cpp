// Fuzzes the four deliverables through our in-process host: any nlhs and nrhs, any classes,
// dimension vectors of every size (0, 1, huge, 2^31, 2^32 - 1, products that wrap, many
// dimensions) and element values (NaN, infinities, +-2^63, subnormals). A host error is a normal
// outcome; a crash, a sanitizer report, an escaping exception or a result that breaks the
// deliverables' contract is a finding.
//
// Input layout: deliverable, nlhs, nrhs, then per argument a class octet, a dimension count,
// the dimensions (one octet each: small values, or an index into a table of extreme ones) and
// one octet per element (0..239 as such, 240..255 an extreme value).

#include "byte_reader.h"
#include "require.h"
#include "common/truncate.h"
#include "host/array.h"
#include "host/host.h"

#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace chaosmix::fuzz {
namespace {

constexpr std::array<const char*, 4> kDeliverables = {"cubemix", "cubeunmix", "foldmix",
                                                       "foldunmix"};

// Arrays never hold more elements than this; larger ones keep only a prefix of their data (the
// front ends must reject them, or read no further than the prefix, before touching it).
constexpr std::size_t kMaxElements = 4096;
constexpr std::int32_t kMaxRounds = 3;  // keeps every call short; the count itself is fuzzed

constexpr std::array<mwSize, 16> kExtremeExtents = {
    0, 1, 2, 3, 16, 255, 65536, 2147483647u, 2147483648u, 4294967295u, 4294967296u,
    4294967297u, std::size_t{1} << 62, std::size_t{1} << 63, (std::size_t{1} << 60) + 1,
    std::numeric_limits<mwSize>::max()};

const std::array<double, 16> kExtremeValues = {
    std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
    -std::numeric_limits<double>::infinity(), 9223372036854775808.0, -9223372036854775808.0,
    9223372036854774784.0, std::numeric_limits<double>::denorm_min(), -0.0, 300.0, -1.0, 3.7,
    2147483648.0, 4294967297.0, 1e308, 255.5, -0.5};

std::array<host::MexFunction, 4> loadDeliverables() {
  std::array<host::MexFunction, 4> functions{};
  for (std::size_t i = 0; i < kDeliverables.size(); ++i) {
    const std::string path = std::string(CHAOSMIX_HOST_MODULE_DIR) + "/" + kDeliverables[i] + ".so";
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) std::abort();
    functions[i] = reinterpret_cast<host::MexFunction>(dlsym(module, "mexFunction"));
    if (functions[i] == nullptr) std::abort();
  }
  return functions;
}

const std::array<host::MexFunction, 4>& deliverables() {
  static const std::array<host::MexFunction, 4> functions = loadDeliverables();
  return functions;
}

mwSize extent(ByteReader& in) {
  const std::uint8_t b = in.octet();
  return b >= 0xF0 ? kExtremeExtents[b - 0xF0] : b % 24;
}

double element(ByteReader& in) {
  const std::uint8_t b = in.octet();
  return b >= 0xF0 ? kExtremeValues[b - 0xF0] : static_cast<double>(b);
}

// The product of the extents, saturated at 2^64 (so a wrapping product is never mistaken for a
// small one).
unsigned __int128 trueProduct(const std::vector<mwSize>& dims, std::size_t from = 0) {
  unsigned __int128 p = 1;
  const unsigned __int128 cap = static_cast<unsigned __int128>(1) << 64;
  for (std::size_t i = from; i < dims.size(); ++i) {
    p *= dims[i];
    if (p > cap) p = cap;
  }
  return p;
}

enum class Role { image, rounds, key, extra };

host::ArrayPtr makeArgument(ByteReader& in, Role role) {
  const std::uint8_t kind = in.octet();
  const std::size_t ndims = 2 + in.octet() % 5;
  std::vector<mwSize> dims(ndims);
  for (auto& d : dims) d = extent(in);

  if (role == Role::image && trueProduct(dims) > kMaxElements &&
      trueProduct({dims[0], dims[1]}) <= 2147483647u) {
    // An image the front ends accept by size: keep it small enough to run.
    while (trueProduct(dims) > kMaxElements) {
      auto largest = std::max_element(dims.begin(), dims.end());
      *largest /= 2;
    }
  }

  auto array = host::makeShapeOnly(dims);
  switch (kind % 8) {
    case 5: array->classId = mxUINT8_CLASS; break;
    case 6: array->classId = mxINT32_CLASS; break;
    case 7: array->classId = mxCHAR_CLASS; break;
    default: array->classId = mxDOUBLE_CLASS; break;
  }
  if (array->classId != mxDOUBLE_CLASS) return array;

  const auto total = trueProduct(dims);
  const std::size_t count =
      total > kMaxElements ? kMaxElements : static_cast<std::size_t>(total);
  array->hasData = true;
  array->real.resize(count);
  for (auto& v : array->real) v = element(in);
  if (role == Role::rounds && count > 0 && truncateToInt32(array->real[0]) > kMaxRounds)
    array->real[0] = truncateToInt32(array->real[0]) % (kMaxRounds + 1);
  if (kind % 8 == 3) {
    array->complex = true;
    array->imag.assign(count, 1.0);
  }
  if (kind % 8 == 4) {
    // Sparse: only the non-zero values are stored.
    array->sparse = true;
    std::erase(array->real, 0.0);
  }
  return array;
}

// What every successful call must satisfy.
void checkSuccess(std::size_t deliverable, int nlhs, const std::vector<host::ArrayPtr>& args,
                  const mxArray* result) {
  CHAOSMIX_FUZZ_REQUIRE(args.size() >= 3 && nlhs <= 1 && result != nullptr);
  const mxArray& image = *args[0];
  CHAOSMIX_FUZZ_REQUIRE(image.classId == mxDOUBLE_CLASS && args[1]->classId == mxDOUBLE_CLASS &&
          args[2]->classId == mxDOUBLE_CLASS);
  CHAOSMIX_FUZZ_REQUIRE(!image.sparse && !args[1]->sparse && !args[2]->sparse);
  CHAOSMIX_FUZZ_REQUIRE(trueProduct(args[2]->dims) == 16);
  CHAOSMIX_FUZZ_REQUIRE(!args[1]->real.empty());
  const mwSize rows = image.dims[0], columns = image.dims[1];
  const mwSize planes = image.dims.size() == 3 ? image.dims[2] : 1;
  const bool cube = deliverable < 2;
  if (cube) CHAOSMIX_FUZZ_REQUIRE(planes == 1);
  if (!cube) CHAOSMIX_FUZZ_REQUIRE(planes != 2);
  CHAOSMIX_FUZZ_REQUIRE(result->classId == mxDOUBLE_CLASS && result->dims.size() >= 2);
  CHAOSMIX_FUZZ_REQUIRE(result->dims[0] == rows && result->dims[1] == columns);
  const std::size_t resultPlanes = result->dims.size() == 3 ? result->dims[2] : 1;
  CHAOSMIX_FUZZ_REQUIRE(resultPlanes == planes);
  CHAOSMIX_FUZZ_REQUIRE(result->real.size() == rows * columns * planes);
  for (double v : result->real) CHAOSMIX_FUZZ_REQUIRE(v >= 0 && v <= 255 && v == std::floor(v));
}

}  // namespace
}  // namespace chaosmix::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  chaosmix::fuzz::deliverables();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace chaosmix::fuzz;
  ByteReader in({data, size});
  const std::size_t which = in.octet() % 4;
  const int nlhs = static_cast<int>(in.octet() % 4) - 1;  // -1 .. 2
  const std::size_t nrhs = in.octet() % 6;                // 0 .. 5
  std::vector<chaosmix::host::ArrayPtr> args;
  for (std::size_t i = 0; i < nrhs; ++i)
    args.push_back(makeArgument(in, i == 0 ? Role::image : i == 1 ? Role::rounds
                                            : i == 2 ? Role::key : Role::extra));
  std::vector<const mxArray*> prhs;
  for (const auto& a : args) prhs.push_back(a.get());
  try {
    const chaosmix::host::ArrayPtr result =
        chaosmix::host::callMex(deliverables()[which], nlhs, prhs);
    checkSuccess(which, nlhs, args, result.get());
  } catch (const chaosmix::host::MexError&) {
    // A host error is a normal outcome.
  }
  return 0;
}

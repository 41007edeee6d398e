#include "cube/cube_front_end.h"

#include <chaosmix/cube.h>

#include "common/truncate.h"
#include "cube/key_schedule.h"
#include "cube/rounds.h"
#include "mex/arguments.h"

#include <array>
#include <cstdio>
#include <vector>

namespace chaosmix {

namespace {

using frontend::HostMessage;

// The checks in their order; the text of the first that fails, or null.
const char* firstFailedCheck(int nlhs, int nrhs, const mxArray* prhs[]) {
  if (nrhs < 3) return frontend::kTooFewArgumentsMessage;
  if (nlhs > 1) return frontend::kTooManyOutputsMessage;
  const mxArray* image = prhs[0];
  const mxArray* rounds = prhs[1];
  const mxArray* key = prhs[2];
  if (mxGetNumberOfDimensions(image) == 3 && mxGetDimensions(image)[2] != 1)
    return "Currently only gray-scale images are supported.\n";
  if (!mxIsDouble(image)) return "Elements in matrix should be double type.";
  if (!mxIsDouble(rounds)) return "Elements in second matrix should be of double type.";
  if (!mxIsDouble(key)) return "Elements in second matrix should be double type.";
  if (!frontend::holdsSixteenElements(key)) return "Key should be 16 bits of length.";
  // The checks below guard what the host's arrays can hold beyond what the cipher expects.
  if (frontend::anySparse(image, rounds, key)) return frontend::kSparseMessage;
  if (mxGetNumberOfElements(rounds) == 0) return frontend::kEmptyRoundCountMessage;
  const std::size_t cells = frontend::readImageShape(image).cells();
  if (cells > kCubeMaxCells) return kCubeTooLargeMessage;
  if (mxGetNumberOfElements(image) < cells) return frontend::kNoElementsMessage;
  return nullptr;
}

struct Outcome {
  HostMessage failure;
  std::size_t cells = 0;
  std::size_t unreached = 0;  // cells the permutation does not reach, when a round ran
};

// Everything that owns memory happens here; the caller raises host errors afterwards.
Outcome run(CubeDirection direction, mxArray* plhs[], const mxArray* prhs[]) {
  Outcome outcome;
  outcome.failure = frontend::failureOf([&] {
    const frontend::ImageShape shape = frontend::readImageShape(prhs[0]);
    const std::int32_t rounds = frontend::readRoundCount(prhs[1]);
    const CipherKey key = frontend::readKey(prhs[2]);

    const std::array<mwSize, 3> dims{static_cast<mwSize>(shape.rows),
                                      static_cast<mwSize>(shape.columns), 1};
    plhs[0] = mxCreateNumericArray(3, dims.data(), mxDOUBLE_CLASS, mxREAL);
    const std::size_t n = shape.cells();
    if (n == 0) return;  // no cell: the empty result, no cipher

    const double* in = mxGetPr(prhs[0]);
    double* out = mxGetPr(plhs[0]);
    {
      std::vector<std::uint8_t> pixels(n);
      for (std::size_t k = 0; k < n; ++k) pixels[k] = truncateToOctet(in[k]);
      std::vector<std::uint8_t> work(n, 0);
      const cube::CubeMapParams params = cube::deriveCubeMapParams(key);
      if (direction == CubeDirection::encrypt)
        cube::cubeEncryptRounds(params, pixels, work, rounds);
      else
        cube::cubeDecryptRounds(params, pixels, work, rounds);
      for (std::size_t k = 0; k < n; ++k) out[k] = work[k];
    }
    if (rounds >= 1) {
      outcome.cells = n;
      outcome.unreached = cubePermutationReach(n, key).unreachedCells;
    }
  });
  return outcome;
}

}  // namespace

void cubeFrontEnd(CubeDirection direction, int nlhs, mxArray* plhs[], int nrhs,
                  const mxArray* prhs[]) {
  if (const char* failed = firstFailedCheck(nlhs, nrhs, prhs)) {
    mexErrMsgTxt(failed);
    return;
  }
  const Outcome outcome = run(direction, plhs, prhs);
  if (!outcome.failure.empty()) {
    mexErrMsgTxt(outcome.failure.text());
    return;
  }
  if (outcome.unreached != 0) {
    std::array<char, 256> text{};
    std::snprintf(text.data(), text.size(),
                  "cubeunmix cannot restore this image with this key and size: the cube "
                  "permutation of %zu cells leaves %zu of them unreached, and their content is "
                  "lost.",
                  outcome.cells, outcome.unreached);
    mexWarnMsgIdAndTxt("chaosmix:lossyPermutation", "%s", text.data());
  }
}

}  // namespace chaosmix

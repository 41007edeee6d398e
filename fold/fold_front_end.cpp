#include "fold/fold_front_end.h"

#include <chaosmix/fold.h>

#include "common/truncate.h"
#include "fold/cells.h"
#include "fold/driver.h"
#include "mex/arguments.h"

#include <array>
#include <vector>

namespace chaosmix {

namespace {

using frontend::HostMessage;

// The two texts in which foldmix and foldunmix differ.
struct KeyMessages {
  const char* notDouble;
  const char* notSixteen;
};

KeyMessages keyMessages(FoldDirection direction) {
  if (direction == FoldDirection::encrypt)
    return {"Elements in second matrix should be of double type.",
            "Key should be 16 bits in length."};
  return {"Elements in second matrix should be double type.", "Key should be 16 bits of length."};
}

// The planes a colour image is read from; gray images have one.
std::size_t planesRead(const frontend::ImageShape& shape) { return shape.planes == 1 ? 1 : 3; }

// The checks in their order; the text of the first that fails, or null.
const char* firstFailedCheck(FoldDirection direction, int nlhs, int nrhs, const mxArray* prhs[]) {
  if (nrhs < 3) return frontend::kTooFewArgumentsMessage;
  if (nlhs > 1) return frontend::kTooManyOutputsMessage;
  const mxArray* image = prhs[0];
  const mxArray* rounds = prhs[1];
  const mxArray* key = prhs[2];
  const KeyMessages messages = keyMessages(direction);
  if (!mxIsDouble(image)) return "Elements in matrix should be of double type.";
  if (!mxIsDouble(rounds)) return "Elements in second matrix should be of double type.";
  if (!mxIsDouble(key)) return messages.notDouble;
  if (!frontend::holdsSixteenElements(key)) return messages.notSixteen;
  // The checks below guard what the host's arrays can hold beyond what the cipher expects.
  if (frontend::anySparse(image, rounds, key)) return frontend::kSparseMessage;
  if (mxGetNumberOfElements(rounds) == 0) return frontend::kEmptyRoundCountMessage;
  const frontend::ImageShape shape = frontend::readImageShape(image);
  const std::size_t cells = shape.cells();
  if (cells > kFoldMaxCells) return kFoldTooLargeMessage;
  if (shape.planes == 2) return "Colour images should have three planes.";
  const bool hasCells = cells != 0 && shape.planes != 0;
  if (hasCells &&
      mxGetNumberOfElements(image) < frontend::saturatingProduct(cells, planesRead(shape)))
    return frontend::kNoElementsMessage;
  return nullptr;
}

// Everything that owns memory happens here; the caller raises host errors afterwards.
HostMessage run(FoldDirection direction, mxArray* plhs[], const mxArray* prhs[]) {
  return frontend::failureOf([&] {
    const frontend::ImageShape shape = frontend::readImageShape(prhs[0]);
    const std::int32_t rounds = frontend::readRoundCount(prhs[1]);
    CipherKey key = frontend::readKey(prhs[2]);  // the driver reverses it between rounds

    const std::array<mwSize, 3> dims{static_cast<mwSize>(shape.rows),
                                      static_cast<mwSize>(shape.columns),
                                      static_cast<mwSize>(shape.planes)};
    plhs[0] = mxCreateNumericArray(3, dims.data(), mxDOUBLE_CLASS, mxREAL);
    const std::size_t n = shape.cells();
    if (n == 0 || shape.planes == 0) return;  // no cell: the empty result, no cipher

    const double* in = mxGetPr(prhs[0]);
    double* out = mxGetPr(plhs[0]);
    const CellKind kind = shape.planes == 1 ? CellKind::gray : CellKind::colour;
    std::vector<std::int32_t> cells(n);
    if (kind == CellKind::gray) {
      for (std::size_t k = 0; k < n; ++k) cells[k] = truncateToOctet(in[k]);
    } else {
      for (std::size_t k = 0; k < n; ++k)
        cells[k] = fold::packColour(truncateToOctet(in[k]), truncateToOctet(in[n + k]),
                                    truncateToOctet(in[2 * n + k]));
    }
    const auto M = static_cast<std::int32_t>(shape.rows);
    const auto N = static_cast<std::int32_t>(shape.columns);
    if (direction == FoldDirection::encrypt)
      fold::foldEncryptRounds(cells, key, M, N, kind, rounds);
    else
      fold::foldDecryptRounds(cells, key, M, N, kind, rounds);
    for (std::size_t k = 0; k < n; ++k) {
      const fold::PlaneOctets octets = fold::unpackCell(cells[k]);
      out[k] = octets.p1;
      if (kind == CellKind::colour) {
        out[n + k] = octets.p2;
        out[2 * n + k] = octets.p3;
      }
    }
  });
}

}  // namespace

void foldFrontEnd(FoldDirection direction, int nlhs, mxArray* plhs[], int nrhs,
                  const mxArray* prhs[]) {
  if (const char* failed = firstFailedCheck(direction, nlhs, nrhs, prhs)) {
    mexErrMsgTxt(failed);
    return;
  }
  const HostMessage failure = run(direction, plhs, prhs);
  if (!failure.empty()) mexErrMsgTxt(failure.text());
}

}  // namespace chaosmix

#pragma once
// The host-facing body shared by the foldmix and foldunmix deliverables.

#include "mex.h"

namespace chaosmix {

enum class FoldDirection { encrypt, decrypt };

// Checks the host's arguments (image, round count, key) with the texts of the direction's
// deliverable, runs the fold cipher over the gray or colour image and stores the result into
// plhs[0]. Every failure ends the call through mexErrMsgTxt, after the call's buffers have been
// freed.
void foldFrontEnd(FoldDirection direction, int nlhs, mxArray* plhs[], int nrhs,
                  const mxArray* prhs[]);

}  // namespace chaosmix

#pragma once
// The host-facing body shared by the cubemix and cubeunmix deliverables.

#include "mex.h"

namespace chaosmix {

enum class CubeDirection { encrypt, decrypt };

// Checks the host's arguments (image, round count, key), runs the cube cipher in the given
// direction and stores the result into plhs[0]. Every failure ends the call through
// mexErrMsgTxt, after the call's buffers have been freed. When the cube permutation for this
// key and cell count is not one-to-one and a round runs, it warns with the id
// chaosmix:lossyPermutation.
void cubeFrontEnd(CubeDirection direction, int nlhs, mxArray* plhs[], int nrhs,
                  const mxArray* prhs[]);

}  // namespace chaosmix

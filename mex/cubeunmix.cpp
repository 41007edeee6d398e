// The cubeunmix deliverable: cube-permutation decryption of a gray image.
#include "cube/cube_front_end.h"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  chaosmix::cubeFrontEnd(chaosmix::CubeDirection::decrypt, nlhs, plhs, nrhs, prhs);
}

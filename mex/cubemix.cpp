// The cubemix deliverable: cube-permutation encryption of a gray image.
#include "cube/cube_front_end.h"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  chaosmix::cubeFrontEnd(chaosmix::CubeDirection::encrypt, nlhs, plhs, nrhs, prhs);
}

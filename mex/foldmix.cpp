// The foldmix deliverable: fold-permutation encryption of a gray or colour image.
#include "fold/fold_front_end.h"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  chaosmix::foldFrontEnd(chaosmix::FoldDirection::encrypt, nlhs, plhs, nrhs, prhs);
}

% CUBEUNMIX  Decrypt a gray image encrypted by cubemix (chaosmix).
%
%   I = cubeunmix(C, ROUNDS, KEY)
%
%   C       a real double gray image, rows x columns (or rows x columns x 1), as
%           cubemix returns it. Only its first rows x columns elements are used when
%           it has four or more dimensions. Each element is truncated toward zero and
%           its low 8 bits are used.
%   ROUNDS  a real double; its first element, truncated to a 32-bit integer, is the
%           round count. With 0 or fewer rounds the result is all zeros.
%   KEY     a real double array of exactly 16 elements (1x16, 16x1, 4x4, 2x8, ...),
%           read row by row; each element is reduced to an octet like the pixels.
%   I       a new double array of integers 0..255, rows x columns.
%
%   With the KEY and ROUNDS given to cubemix, the image comes back whenever the cube
%   permutation for this key and cell count is one-to-one. When it is not,
%   cubeunmix warns with the id chaosmix:lossyPermutation.
%
%   Example:
%     key = [12 250 7 99 0 31 128 64 200 5 17 240 33 1 77 160];
%     C = cubemix(double(imread('camera.png')), 3, key);
%     I = cubeunmix(C, 3, key);
%
%   See also CUBEMIX, FOLDMIX, FOLDUNMIX.

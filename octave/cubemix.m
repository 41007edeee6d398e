% CUBEMIX  Encrypt a gray image with the cube-permutation cipher (chaosmix).
%
%   C = cubemix(I, ROUNDS, KEY)
%
%   I       a real double gray image, rows x columns (or rows x columns x 1). Only its first
%           rows x columns elements are used when it has four or more dimensions.
%           Each element is truncated toward zero and its low 8 bits are used
%           (300 -> 44, -1 -> 255, 3.7 -> 3, NaN -> 0).
%   ROUNDS  a real double; its first element, truncated to a 32-bit integer, is the
%           round count. With 0 or fewer rounds the result is all zeros.
%   KEY     a real double array of exactly 16 elements (1x16, 16x1, 4x4, 2x8, ...),
%           read row by row; each element is reduced to an octet like the pixels.
%   C       a new double array of integers 0..255, rows x columns.
%
%   cubeunmix(C, ROUNDS, KEY) gives I back when the cube permutation for this key
%   and cell count is one-to-one. When it is not, cubemix warns with the id
%   chaosmix:lossyPermutation: cubeunmix cannot restore this image with this key
%   and size.
%
%   Example:
%     I = double(imread('camera.png'));
%     key = [12 250 7 99 0 31 128 64 200 5 17 240 33 1 77 160];
%     C = cubemix(I, 3, key);
%     I2 = cubeunmix(C, 3, key);
%     isequal(I2, I)
%
%   See also CUBEUNMIX, FOLDMIX, FOLDUNMIX.

% FOLDMIX  Encrypt a gray or colour image with the fold-permutation cipher (chaosmix).
%
%   C = foldmix(I, ROUNDS, KEY)
%
%   I       a real double image: gray M x N, or colour M x N x 3 (planes beyond the
%           third are left out of the cipher and come back as zeros). Two planes are
%           refused. With four or more dimensions only the first M x N elements are
%           used, as a gray image. Each element is truncated toward zero and its low
%           8 bits are used (300 -> 44, -1 -> 255, 3.7 -> 3, NaN -> 0).
%   ROUNDS  a real double; its first element, truncated to a 32-bit integer, is the
%           round count. With 0 or fewer rounds the result is the converted image.
%   KEY     a real double array of exactly 16 elements (1x16, 16x1, 4x4, 2x8, ...),
%           read row by row; each element is reduced to an octet like the pixels.
%   C       a new double array of integers 0..255, of the image's size.
%
%   foldunmix(C, ROUNDS, KEY) always gives the image's octets back.
%
%   Example:
%     I = double(imread('astronaut.png'));
%     key = [12 250 7 99 0 31 128 64 200 5 17 240 33 1 77 160];
%     C = foldmix(I, 3, key);
%     I2 = foldunmix(C, 3, key);
%     isequal(I2, I)
%
%   See also FOLDUNMIX, CUBEMIX, CUBEUNMIX.

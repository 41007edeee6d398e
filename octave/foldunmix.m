% FOLDUNMIX  Decrypt an image encrypted by foldmix (chaosmix).
%
%   I = foldunmix(C, ROUNDS, KEY)
%
%   C       a real double image as foldmix returns it: gray M x N, or colour
%           M x N x 3 (planes beyond the third are left out and come back as zeros).
%           Two planes are refused. With four or more dimensions only the first
%           M x N elements are used, as a gray image. Each element is truncated toward
%           zero and its low 8 bits are used.
%   ROUNDS  a real double; its first element, truncated to a 32-bit integer, is the
%           round count. With 0 or fewer rounds the result is the converted image.
%   KEY     a real double array of exactly 16 elements (1x16, 16x1, 4x4, 2x8, ...),
%           read row by row; each element is reduced to an octet like the pixels.
%   I       a new double array of integers 0..255, of the image's size.
%
%   With the KEY and ROUNDS given to foldmix, the image's octets always come back.
%
%   Example:
%     key = [12 250 7 99 0 31 128 64 200 5 17 240 33 1 77 160];
%     C = foldmix(double(imread('astronaut.png')), 3, key);
%     I = foldunmix(C, 3, key);
%
%   See also FOLDMIX, CUBEMIX, CUBEUNMIX.

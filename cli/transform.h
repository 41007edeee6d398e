#pragma once
// Applying a cipher to an image held in the host layout.

#include "cli/image_io.h"

#include <chaosmix/key.h>

#include <cstdint>
#include <string>
#include <vector>

namespace chaosmix::cli {

enum class Cipher { cube, fold };
enum class Direction { encrypt, decrypt };

struct CipherSettings {
  Cipher cipher = Cipher::fold;
  std::int32_t rounds = 1;
  CipherKey key{};
  bool allowLossy = false;  // let the cube cipher encrypt where decryption cannot restore
};

struct TransformResult {
  Image image;
  std::vector<std::string> notices;
};

// Encrypts or decrypts; the result has the image's extents and planes and holds exactly the
// octets the host functions give for the same array. Throws std::runtime_error with the reason
// when the cipher cannot take the image: the cube cipher on a colour image, the cube cipher
// encrypting where its permutation is not one-to-one (unless allowLossy), an image too large.
TransformResult transformImage(const Image& image, Direction direction,
                               const CipherSettings& settings);

const char* cipherName(Cipher cipher);

}  // namespace chaosmix::cli

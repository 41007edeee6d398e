// The ciphers applied to images.

#include "cli/transform.h"

#include <chaosmix/cube.h>
#include <chaosmix/fold.h>

#include <stdexcept>

namespace chaosmix::cli {

namespace {

TransformResult runCube(const Image& image, Direction direction, const CipherSettings& settings) {
  if (image.planes != 1)
    throw std::runtime_error(
        "the cube cipher takes gray images only, and this is a colour image "
        "(use --cipher fold, or convert the image to gray)");
  TransformResult result;
  const std::size_t cells = image.rows * image.columns;
  const CubePermutationReach reach = cubePermutationReach(cells, settings.key);
  if (!reach.oneToOne) {
    const std::string why = "the cube permutation for " + std::to_string(image.rows) + " x " +
                            std::to_string(image.columns) + " cells and this key is not " +
                            "one-to-one (" + std::to_string(reach.unreachedCells) +
                            " cells unreached)";
    if (direction == Direction::encrypt && !settings.allowLossy)
      throw std::runtime_error(why + ", so decryption could not restore the image; use another "
                               "image size or another key, or --allow-lossy to encrypt anyway");
    result.notices.push_back(direction == Direction::encrypt
                                 ? why + "; encrypted anyway (--allow-lossy): decryption "
                                         "cannot restore the image"
                                 : why + ", so the result is not the original image");
  }
  result.image.rows = image.rows;
  result.image.columns = image.columns;
  result.image.planes = 1;
  result.image.octets =
      direction == Direction::encrypt
          ? cubeEncrypt(image.octets, image.rows, image.columns, settings.rounds, settings.key)
          : cubeDecrypt(image.octets, image.rows, image.columns, settings.rounds, settings.key);
  return result;
}

TransformResult runFold(const Image& image, Direction direction, const CipherSettings& settings) {
  const CellKind kind = image.planes == 1 ? CellKind::gray : CellKind::colour;
  TransformResult result;
  result.image.rows = image.rows;
  result.image.columns = image.columns;
  result.image.planes = image.planes;
  result.image.octets =
      direction == Direction::encrypt
          ? foldEncrypt(image.octets, image.rows, image.columns, kind, settings.rounds,
                        settings.key)
          : foldDecrypt(image.octets, image.rows, image.columns, kind, settings.rounds,
                        settings.key);
  return result;
}

}  // namespace

TransformResult transformImage(const Image& image, Direction direction,
                               const CipherSettings& settings) {
  if (image.planes != 1 && image.planes != 3)
    throw std::runtime_error("only gray and RGB images can be encrypted");
  return settings.cipher == Cipher::cube ? runCube(image, direction, settings)
                                         : runFold(image, direction, settings);
}

const char* cipherName(Cipher cipher) { return cipher == Cipher::cube ? "cube" : "fold"; }

}  // namespace chaosmix::cli

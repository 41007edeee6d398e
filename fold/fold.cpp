// The public entry points of the fold cipher.

#include <chaosmix/fold.h>

#include "fold/cells.h"
#include "fold/driver.h"

#include <stdexcept>

namespace chaosmix {

namespace {

// Checks the extents before anything is allocated and returns the cell count.
std::size_t checkedCellCount(std::size_t rows, std::size_t columns) {
  if (rows == 0 || columns == 0)
    throw std::invalid_argument("fold cipher: the image has no cells");
  if (columns > kFoldMaxCells / rows) throw std::length_error(kFoldTooLargeMessage);
  return rows * columns;
}

std::size_t planeCount(CellKind kind) { return kind == CellKind::gray ? 1 : 3; }

std::vector<std::int32_t> packCells(std::span<const std::uint8_t> image, std::size_t n,
                                    CellKind kind) {
  std::vector<std::int32_t> cells(n);
  for (std::size_t k = 0; k < n; ++k) {
    cells[k] = kind == CellKind::gray
                   ? image[k]
                   : fold::packColour(image[k], image[n + k], image[2 * n + k]);
  }
  return cells;
}

std::vector<std::uint8_t> unpackCells(std::span<const std::int32_t> cells, CellKind kind) {
  const std::size_t n = cells.size();
  std::vector<std::uint8_t> image(n * planeCount(kind));
  for (std::size_t k = 0; k < n; ++k) {
    const fold::PlaneOctets octets = fold::unpackCell(cells[k]);
    image[k] = octets.p1;
    if (kind == CellKind::colour) {
      image[n + k] = octets.p2;
      image[2 * n + k] = octets.p3;
    }
  }
  return image;
}

enum class Direction { encrypt, decrypt };

std::vector<std::uint8_t> runFold(Direction direction, std::span<const std::uint8_t> image,
                                  std::size_t rows, std::size_t columns, CellKind kind,
                                  std::int32_t rounds, const CipherKey& key) {
  const std::size_t n = checkedCellCount(rows, columns);
  if (image.size() != n * planeCount(kind))
    throw std::invalid_argument(
        "fold cipher: the image must hold rows x columns octets per plane (1 gray, 3 colour)");
  std::vector<std::int32_t> cells = packCells(image, n, kind);
  CipherKey roundKey = key;  // the driver reverses its key in place
  const auto M = static_cast<std::int32_t>(rows);
  const auto N = static_cast<std::int32_t>(columns);
  if (direction == Direction::encrypt)
    fold::foldEncryptRounds(cells, roundKey, M, N, kind, rounds);
  else
    fold::foldDecryptRounds(cells, roundKey, M, N, kind, rounds);
  return unpackCells(cells, kind);
}

}  // namespace

std::vector<std::uint8_t> foldEncrypt(std::span<const std::uint8_t> image, std::size_t rows,
                                      std::size_t columns, CellKind kind, std::int32_t rounds,
                                      const CipherKey& key) {
  return runFold(Direction::encrypt, image, rows, columns, kind, rounds, key);
}

std::vector<std::uint8_t> foldDecrypt(std::span<const std::uint8_t> image, std::size_t rows,
                                      std::size_t columns, CellKind kind, std::int32_t rounds,
                                      const CipherKey& key) {
  return runFold(Direction::decrypt, image, rows, columns, kind, rounds, key);
}

}  // namespace chaosmix

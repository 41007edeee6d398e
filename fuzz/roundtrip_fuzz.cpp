// Fuzzes the round trip of both ciphers on small images: a fuzzed cipher, key, size, round count
// and content must give the reference implementation's octets in both directions, and
// decryption must restore the image (the fold cipher always; the cube cipher whenever its
// permutation is one-to-one and at least one round runs).
//
// Input layout: cipher, 16 key octets, rows, columns, round count, then the image octets
// (repeated to fill the image).

#include "byte_reader.h"
#include "require.h"

#include <chaosmix/cube.h>
#include <chaosmix/fold.h>
#include "reference.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace chaosmix;
  fuzz::ByteReader in({data, size});
  const int cipher = in.octet() % 3;  // cube, fold gray, fold colour
  CipherKey key;
  for (auto& o : key) o = in.octet();
  const std::size_t rows = 1 + in.octet() % 24;
  const std::size_t columns = 1 + in.octet() % 24;
  const auto rounds = static_cast<std::int32_t>(in.octet() % 6) - 1;  // -1 .. 4
  const std::size_t planes = cipher == 2 ? 3 : 1;
  std::vector<std::uint8_t> plain(rows * columns * planes);
  const auto rest = in.rest();
  for (std::size_t i = 0; i < plain.size(); ++i)
    plain[i] = rest.empty() ? static_cast<std::uint8_t>(i) : rest[i % rest.size()];

  if (cipher == 0) {
    const auto encrypted = cubeEncrypt(plain, rows, columns, rounds, key);
    const auto decrypted = cubeDecrypt(encrypted, rows, columns, rounds, key);
    CHAOSMIX_FUZZ_REQUIRE(encrypted == reference::cubeEncrypt(plain, rows, columns, rounds, key));
    CHAOSMIX_FUZZ_REQUIRE(decrypted ==
                          reference::cubeDecrypt(encrypted, rows, columns, rounds, key));
    if (rounds >= 1 && cubePermutationReach(rows * columns, key).oneToOne)
      CHAOSMIX_FUZZ_REQUIRE(decrypted == plain);
  } else {
    const CellKind kind = cipher == 1 ? CellKind::gray : CellKind::colour;
    const auto encrypted = foldEncrypt(plain, rows, columns, kind, rounds, key);
    const auto decrypted = foldDecrypt(encrypted, rows, columns, kind, rounds, key);
    CHAOSMIX_FUZZ_REQUIRE(encrypted ==
                          reference::foldEncrypt(plain, rows, columns, kind, rounds, key));
    CHAOSMIX_FUZZ_REQUIRE(decrypted ==
                          reference::foldDecrypt(encrypted, rows, columns, kind, rounds, key));
    CHAOSMIX_FUZZ_REQUIRE(decrypted == plain);
  }
  return 0;
}

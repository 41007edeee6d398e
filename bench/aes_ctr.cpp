#include "bench/aes_ctr.h"

#include <openssl/evp.h>

#include <memory>
#include <stdexcept>

namespace chaosmix::bench {

std::vector<std::uint8_t> aes128Ctr(std::span<const std::uint8_t> octets) {
  static constexpr unsigned char kKey[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
  static constexpr unsigned char kCounter[16] = {};
  const std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(),
                                                                           EVP_CIPHER_CTX_free);
  std::vector<std::uint8_t> out(octets.size());
  int written = 0;
  if (!ctx || EVP_EncryptInit_ex(ctx.get(), EVP_aes_128_ctr(), nullptr, kKey, kCounter) != 1 ||
      EVP_EncryptUpdate(ctx.get(), out.data(), &written, octets.data(),
                        static_cast<int>(octets.size())) != 1)
    throw std::runtime_error("AES-128-CTR failed");
  return out;
}

}  // namespace chaosmix::bench

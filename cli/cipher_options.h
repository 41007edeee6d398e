#pragma once
// The options every cipher command shares: --cipher, --rounds, and the key (--key or
// --key-file).

#include "cli/transform.h"

#include <CLI/CLI.hpp>

#include <cstdint>
#include <string>

namespace chaosmix::cli {

struct CipherOptions {
  std::string cipher;
  std::int32_t rounds = 0;
  std::string key;
  std::string keyFile;
};

void addCipherOptions(CLI::App& command, CipherOptions& options);

// The settings the options give. Throws UsageError when no key or a bad key is given.
CipherSettings cipherSettings(const CipherOptions& options);

}  // namespace chaosmix::cli

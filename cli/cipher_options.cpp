// The shared cipher options.

#include "cli/cipher_options.h"

#include "cli/errors.h"
#include "cli/key_parse.h"

#include <limits>

namespace chaosmix::cli {

void addCipherOptions(CLI::App& command, CipherOptions& options) {
  command.add_option("--cipher", options.cipher, "cube (gray images only) or fold")
      ->required()
      ->check(CLI::IsMember({"cube", "fold"}));
  command
      .add_option("--rounds", options.rounds,
                  "number of rounds, 1 to 2147483647; decrypt with the count used to encrypt")
      ->required()
      ->check(CLI::Range(1, std::numeric_limits<std::int32_t>::max()));
  CLI::Option* key = command.add_option(
      "--key", options.key,
      "the key: 32 hex digits (octet 0 first), or 16 integers 0..255 separated by commas or "
      "spaces, optionally in [ ] "
      "(other users can see command lines: prefer --key-file)");
  key->option_text("KEY");
  CLI::Option* keyFile = command.add_option(
      "--key-file", options.keyFile, "a file holding the key in either form (see keygen)");
  keyFile->option_text("FILE");
  key->excludes(keyFile);
}

CipherSettings cipherSettings(const CipherOptions& options) {
  CipherSettings settings;
  settings.cipher = options.cipher == "cube" ? Cipher::cube : Cipher::fold;
  settings.rounds = options.rounds;
  try {
    if (!options.key.empty())
      settings.key = parseKey(options.key);
    else if (!options.keyFile.empty())
      settings.key = readKeyFile(options.keyFile);
    else
      throw UsageError("give the key with --key KEY or --key-file FILE");
  } catch (const KeyError& e) {
    throw UsageError(options.key.empty() ? e.what() : std::string("--key: ") + e.what());
  }
  return settings;
}

}  // namespace chaosmix::cli

// keygen: a fresh random key from the operating system.

#include "cli/atomic_write.h"
#include "cli/commands.h"
#include "cli/errors.h"

#include <chaosmix/key.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <sys/random.h>

namespace chaosmix::cli {

namespace {

struct KeygenOptions {
  std::string out;
  bool force = false;
};

CipherKey randomKey() {
  CipherKey key{};
  std::size_t done = 0;
  while (done < key.size()) {
    const ssize_t got = ::getrandom(key.data() + done, key.size() - done, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error(std::string("cannot get random octets from the system: ") +
                               std::strerror(errno));
    }
    done += static_cast<std::size_t>(got);
  }
  return key;
}

std::string hexText(const CipherKey& key) {
  constexpr const char* kDigits = "0123456789abcdef";
  std::string text;
  for (std::uint8_t octet : key) {
    text += kDigits[octet >> 4];
    text += kDigits[octet & 15];
  }
  return text + "\n";
}

int runKeygen(const KeygenOptions& options) {
  const std::string text = hexText(randomKey());
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text.data()),
                                            text.size());
  if (options.out.empty() || options.out == "-") {
    writeStandardOutput(bytes);
    return kExitSuccess;
  }
  const Overwrite overwrite = options.force ? Overwrite::replace : Overwrite::refuse;
  try {
    checkOutputAllowed(options.out, "-", overwrite);
    writeFileAtomically(options.out, bytes, overwrite, 0600);
  } catch (const WriteError& e) {
    throw std::runtime_error(options.out + ": " + e.what());
  }
  return kExitSuccess;
}

}  // namespace

void addKeygenCommand(CLI::App& app, CommandRun& run) {
  CLI::App* command = app.add_subcommand(
      "keygen", "Make a key of 16 random octets from the operating system (32 hex digits)");
  auto options = std::make_shared<KeygenOptions>();
  command
      ->add_option("--out", options->out,
                   "write the key to FILE (readable by its owner only) instead of standard output")
      ->option_text("FILE");
  command->add_flag("--force", options->force, "replace an existing key file");
  command->footer("Use the key with --key-file FILE. Keep it secret: whoever holds it can "
                  "decrypt.");
  command->callback([&run, options] { run = [options] { return runKeygen(*options); }; });
}

}  // namespace chaosmix::cli

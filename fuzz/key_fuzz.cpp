// Fuzzes the key parser of the command-line tool with arbitrary text. A KeyError is a normal
// outcome; any other exception, a crash or a sanitizer report is a finding. A parsed key must
// parse again to the same octets when written in either of the two accepted forms.

#include "cli/key_parse.h"

#include "require.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

std::string asHex(const chaosmix::CipherKey& key) {
  std::string text;
  char digits[3];
  for (auto o : key) {
    std::snprintf(digits, sizeof digits, "%02x", o);
    text += digits;
  }
  return text;
}

std::string asList(const chaosmix::CipherKey& key) {
  std::string text;
  for (auto o : key) text += (text.empty() ? "" : ",") + std::to_string(o);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    const chaosmix::CipherKey key = chaosmix::cli::parseKey(text);
    CHAOSMIX_FUZZ_REQUIRE(chaosmix::cli::parseKey(asHex(key)) == key);
    CHAOSMIX_FUZZ_REQUIRE(chaosmix::cli::parseKey(asList(key)) == key);
  } catch (const chaosmix::cli::KeyError&) {
    // Not a key: a normal outcome.
  }
  return 0;
}

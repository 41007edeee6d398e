#pragma once
// Reading a cipher key written by a person: 32 hex digits (octet 0 first), or 16 integers
// 0..255 separated by commas (or white space), as MATLAB users write a key, optionally inside
// [ ]. White space around the key and its values is ignored. No message ever repeats the key's
// content.

#include <chaosmix/key.h>

#include <filesystem>
#include <stdexcept>
#include <string_view>

namespace chaosmix::cli {

// A key text that is not a key; what() says why without quoting the key.
struct KeyError : std::invalid_argument {
  using std::invalid_argument::invalid_argument;
};

CipherKey parseKey(std::string_view text);

// Reads a key file holding one key in either form. Throws KeyError (also when the file cannot
// be read).
CipherKey readKeyFile(const std::filesystem::path& path);

}  // namespace chaosmix::cli

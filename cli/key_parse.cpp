// Key text parsing.

#include "cli/key_parse.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace chaosmix::cli {

namespace {

constexpr std::size_t kMaxKeyFileBytes = 4096;

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view trim(std::string_view text) {
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  return text;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

constexpr const char* kForms = "a key is 32 hex digits or 16 comma-separated integers 0..255";

CipherKey parseHex(std::string_view text) {
  for (char c : text)
    if (hexValue(c) < 0)
      throw KeyError(std::string("the key holds a character that is not a hex digit (") + kForms +
                     ")");
  if (text.size() != 2 * kKeyOctets)
    throw KeyError("the key has " + std::to_string(text.size()) + " hex digits; it needs 32");
  CipherKey key{};
  for (std::size_t i = 0; i < kKeyOctets; ++i)
    key[i] = static_cast<std::uint8_t>(hexValue(text[2 * i]) * 16 + hexValue(text[2 * i + 1]));
  return key;
}

CipherKey parseList(std::string_view text) {
  if (!text.empty() && text.front() == '[') {
    if (text.back() != ']') throw KeyError("the key opens a [ but does not close it");
    text = trim(text.substr(1, text.size() - 2));
  }
  // Values are separated by commas, white space, or both (MATLAB writes [1 2 3] and [1, 2, 3]);
  // two commas in a row leave an empty value, which is refused below.
  std::vector<std::string_view> items;
  while (true) {
    const std::size_t comma = text.find(',');
    std::string_view part = trim(text.substr(0, comma));
    if (part.empty()) items.push_back(part);
    while (!part.empty()) {
      std::size_t end = 0;
      while (end < part.size() && !isSpace(part[end])) ++end;
      items.push_back(part.substr(0, end));
      part = trim(part.substr(end));
    }
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  if (items.size() != kKeyOctets)
    throw KeyError("the key has " + std::to_string(items.size()) +
                   (items.size() == 1 ? " value" : " values") + "; it needs 16");
  CipherKey key{};
  for (std::size_t i = 0; i < kKeyOctets; ++i) {
    const std::string_view item = items[i];
    unsigned value = 0;
    bool ok = !item.empty() && item.size() <= 3;
    for (char c : item) {
      if (c < '0' || c > '9') ok = false;
      else value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (!ok || value > 255)
      throw KeyError("key value " + std::to_string(i + 1) + " is not an integer 0..255");
    key[i] = static_cast<std::uint8_t>(value);
  }
  return key;
}

}  // namespace

CipherKey parseKey(std::string_view text) {
  text = trim(text);
  if (text.empty()) throw KeyError(std::string("the key is empty (") + kForms + ")");
  const bool list = text.front() == '[' ||
                    text.find_first_of(", \t\n\r\v\f") != std::string_view::npos;
  if (list) return parseList(text);
  return parseHex(text);
}

CipherKey readKeyFile(const std::filesystem::path& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr)
    throw KeyError("cannot open key file " + path.string() + ": " + std::strerror(errno));
  std::string text(kMaxKeyFileBytes + 1, '\0');
  const std::size_t got = std::fread(text.data(), 1, text.size(), file);
  const bool failed = std::ferror(file) != 0;
  const int error = errno;
  std::fclose(file);
  if (failed)
    throw KeyError("cannot read key file " + path.string() + ": " + std::strerror(error));
  if (got > kMaxKeyFileBytes)
    throw KeyError("key file " + path.string() + " is too large to hold a key");
  text.resize(got);
  try {
    return parseKey(text);
  } catch (const KeyError& e) {
    throw KeyError("key file " + path.string() + ": " + e.what());
  }
}

}  // namespace chaosmix::cli

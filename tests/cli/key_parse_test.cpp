// Key texts: both accepted forms, and every way a text can fail to be a key.

#include "cli/key_parse.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace chaosmix::cli {
namespace {

constexpr CipherKey kCounting = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

struct GoodKey {
  const char* text;
  CipherKey expected;
};

TEST(KeyParse, AcceptsBothForms) {
  const GoodKey cases[] = {
      {"000102030405060708090a0b0c0d0e0f", kCounting},
      {"000102030405060708090A0B0C0D0E0F", kCounting},
      {"  000102030405060708090a0b0c0d0e0f\n", kCounting},
      {"0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15", kCounting},
      {"0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15\n", kCounting},
      {"[0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15]", kCounting},
      {"[0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15]", kCounting},
      {"0 1 2 3 4 5 6 7\n8 9 10 11 12 13 14 15\n", kCounting},
      {"[ 0, 1 2,3  4 5 6 7 8 9 10 11 12 13 14 15 ]", kCounting},
      {"ff00ff00ff00ff00ff00ff00ff00ff01",
       {255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 1}},
      {"255,0,0,0,0,0,0,0,0,0,0,0,0,0,0,007",
       {255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7}},
  };
  for (const GoodKey& c : cases) EXPECT_EQ(parseKey(c.text), c.expected) << c.text;
}

struct BadKey {
  const char* text;
  const char* fragment;
};

TEST(KeyParse, RefusesWithReasonAndNeverQuotesTheKey) {
  const BadKey cases[] = {
      {"", "empty"},
      {"   ", "empty"},
      {"000102030405060708090a0b0c0d0e", "30 hex digits; it needs 32"},
      {"000102030405060708090a0b0c0d0e0f00", "34 hex digits; it needs 32"},
      {"000102030405060708090a0b0c0d0e0g", "not a hex digit"},
      {"0x0102030405060708090a0b0c0d0e0f", "not a hex digit"},
      {"0,1,2,3,4,5,6,7,8,9,10,11,12,13,14", "15 values; it needs 16"},
      {"0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16", "17 values; it needs 16"},
      {"0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,256", "value 16 is not an integer 0..255"},
      {"0,1,2,-3,4,5,6,7,8,9,10,11,12,13,14,15", "value 4 is not an integer 0..255"},
      {"0,1,2,3.5,4,5,6,7,8,9,10,11,12,13,14,15", "value 4 is not an integer 0..255"},
      {"0,1,2,,4,5,6,7,8,9,10,11,12,13,14,15", "value 4 is not an integer 0..255"},
      {"0,1,2,1000,4,5,6,7,8,9,10,11,12,13,14,15", "value 4 is not an integer 0..255"},
      {"[0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15", "does not close"},
      {"0 1 2 3 4 5 6 7 8 9 10 11 12 13 14", "15 values; it needs 16"},
      {"[]", "1 value; it needs 16"},
      {"0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,", "17 values"},
      {"0001020304050607 08090a0b0c0d0e0f", "2 values; it needs 16"},
  };
  for (const BadKey& c : cases) {
    try {
      parseKey(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const KeyError& e) {
      const std::string message = e.what();
      EXPECT_NE(message.find(c.fragment), std::string::npos) << c.text << " -> " << message;
      if (std::string(c.text).size() > 8) {
        EXPECT_EQ(message.find(c.text), std::string::npos) << message;
      }
    }
  }
}

TEST(KeyParse, ReadsKeyFilesAndNamesThemInErrors) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path();
  const std::filesystem::path good = dir / ("chaosmix-key-good-" + std::to_string(::getpid()));
  const std::filesystem::path bad = dir / ("chaosmix-key-bad-" + std::to_string(::getpid()));
  const std::filesystem::path big = dir / ("chaosmix-key-big-" + std::to_string(::getpid()));
  auto write = [](const std::filesystem::path& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  };
  write(good, "000102030405060708090a0b0c0d0e0f\n");
  write(bad, "0,1,2\n");
  write(big, std::string(5000, ' '));
  EXPECT_EQ(readKeyFile(good), kCounting);
  const std::pair<std::filesystem::path, const char*> failures[] = {
      {bad, "3 values"}, {big, "too large"}, {dir / "chaosmix-no-such-key-file", "cannot open"}};
  for (const auto& [path, fragment] : failures) {
    try {
      readKeyFile(path);
      ADD_FAILURE() << "accepted " << path;
    } catch (const KeyError& e) {
      EXPECT_NE(std::string(e.what()).find(path.string()), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos) << e.what();
    }
  }
  std::filesystem::remove(good);
  std::filesystem::remove(bad);
  std::filesystem::remove(big);
}

}  // namespace
}  // namespace chaosmix::cli

// The chaosmix tool run as a user runs it: round trips, standard streams, every error path with
// its exit code and message, no clobbering, no partial output, batches, keygen and demo.

#include "cli/image_io.h"
#include "png_fixture.h"
#include "tool_runner.h"

#include <chaosmix/cube.h>
#include <chaosmix/fold.h>

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <stdlib.h>
#include <string>

namespace chaosmix::cli {
namespace {

namespace fs = std::filesystem;
using testing::makePng;
using testing::runTool;
using testing::ToolResult;

constexpr const char* kKey = "000102030405060708090a0b0c0d0e0f";
constexpr CipherKey kKeyOctets = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
// A key whose cube permutation for 512 x 512 cells is not one-to-one.
constexpr const char* kLossyKey = "3a915c07e24fb816d36e29a471c50b58";

std::string readText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void writeText(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

Image randomImage(std::size_t rows, std::size_t columns, std::size_t planes, unsigned seed) {
  std::mt19937 generator(seed);
  Image image{rows, columns, planes, std::vector<std::uint8_t>(rows * columns * planes)};
  for (std::uint8_t& octet : image.octets) octet = static_cast<std::uint8_t>(generator());
  return image;
}

std::size_t lineCount(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

class Tool : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "chaosmix-tool-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    dir_ = root_ / "work";
    scratch_ = root_ / "streams";
    fs::create_directory(dir_);
    fs::create_directory(scratch_);
  }
  void TearDown() override { fs::remove_all(root_); }

  ToolResult run(const std::vector<std::string>& arguments, const fs::path& input = "/dev/null") {
    return runTool(arguments, scratch_, input);
  }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  std::set<std::string> listing() const {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(dir_))
      names.insert(entry.path().lexically_relative(dir_).string());
    return names;
  }
  static std::string data(const std::string& name) {
    return (fs::path(CHAOSMIX_TEST_DATA_DIR) / name).string();
  }
  static Image load(const fs::path& file) { return readImageFile(file).image; }

  fs::path root_;
  fs::path dir_;
  fs::path scratch_;
};

std::vector<std::string> cipherArgs(const std::string& command, const std::string& cipher,
                                    std::vector<std::string> files, const char* key = kKey) {
  std::vector<std::string> args = {command, "--cipher", cipher, "--rounds", "2", "--key", key};
  args.insert(args.end(), files.begin(), files.end());
  return args;
}

std::vector<std::uint8_t> libraryEncrypt(const std::string& cipher, const Image& image) {
  if (cipher == "cube") return cubeEncrypt(image.octets, image.rows, image.columns, 2, kKeyOctets);
  return foldEncrypt(image.octets, image.rows, image.columns,
                     image.planes == 1 ? CellKind::gray : CellKind::colour, 2, kKeyOctets);
}

struct RoundTripCase {
  std::string input;  // a file name in the work directory
  std::string cipher;
  std::string extension;
};

TEST_F(Tool, RoundTripsBothCiphersThroughPngPgmAndPpm) {
  fs::copy_file(data("camera.png"), dir_ / "camera.png");
  fs::copy_file(data("astronaut.png"), dir_ / "astronaut.png");
  writeBytes(dir_ / "small.pgm", encodePnm(randomImage(5, 7, 1, 1)));
  writeBytes(dir_ / "small.ppm", encodePnm(randomImage(4, 3, 3, 2)));
  writeBytes(dir_ / "dot.png", encodePng(randomImage(1, 1, 3, 3)));
  const RoundTripCase cases[] = {
      {"camera.png", "cube", ".png"},    {"camera.png", "fold", ".png"},
      {"camera.png", "cube", ".pgm"},    {"astronaut.png", "fold", ".png"},
      {"astronaut.png", "fold", ".ppm"}, {"small.pgm", "cube", ".pgm"},
      {"small.pgm", "fold", ".png"},     {"small.ppm", "fold", ".ppm"},
      {"small.ppm", "fold", ".pnm"},     {"dot.png", "fold", ".png"},
  };
  int n = 0;
  for (const RoundTripCase& c : cases) {
    SCOPED_TRACE(c.input + " " + c.cipher + " " + c.extension);
    const std::string encrypted = path("enc" + std::to_string(n) + c.extension);
    const std::string decrypted = path("dec" + std::to_string(n) + c.extension);
    ++n;
    const ToolResult e = run(cipherArgs("encrypt", c.cipher, {path(c.input), encrypted}));
    ASSERT_EQ(e.exitCode, 0) << e.err;
    EXPECT_EQ(e.err, "");
    const ToolResult d = run(cipherArgs("decrypt", c.cipher, {encrypted, decrypted}));
    ASSERT_EQ(d.exitCode, 0) << d.err;
    const Image original = load(path(c.input));
    const Image cipherImage = load(encrypted);
    EXPECT_EQ(cipherImage.octets, libraryEncrypt(c.cipher, original));
    EXPECT_NE(cipherImage.octets, original.octets);
    EXPECT_EQ(load(decrypted).octets, original.octets);
    const DecodedImage written = readImageFile(encrypted);
    EXPECT_EQ(written.format, c.extension == ".png" ? FileFormat::png : FileFormat::pnm);
  }
}

TEST_F(Tool, ReadsStandardInputAndWritesStandardOutput) {
  const Image astronaut = load(data("astronaut.png"));
  // PNG in on standard input, PPM out on standard output.
  const ToolResult e =
      run(cipherArgs("encrypt", "fold", {"-", "-", "--format", "ppm"}), data("astronaut.png"));
  ASSERT_EQ(e.exitCode, 0) << e.err;
  EXPECT_EQ(e.out.substr(0, 15), "P6\n512 512\n255\n");
  writeText(dir_ / "enc.ppm", e.out);
  // PPM in, and out in the input's format by default.
  const ToolResult d = run(cipherArgs("decrypt", "fold", {"-", "-"}), dir_ / "enc.ppm");
  ASSERT_EQ(d.exitCode, 0) << d.err;
  const std::vector<std::uint8_t> expected = encodePnm(astronaut);
  EXPECT_EQ(d.out, std::string(expected.begin(), expected.end()));
  // PNG stays PNG; a file name mixes with standard streams.
  const ToolResult g =
      run(cipherArgs("encrypt", "cube", {"-", path("cam.png")}), data("camera.png"));
  ASSERT_EQ(g.exitCode, 0) << g.err;
  const ToolResult h = run(cipherArgs("decrypt", "cube", {path("cam.png"), "-"}));
  ASSERT_EQ(h.exitCode, 0) << h.err;
  EXPECT_EQ(h.out.substr(1, 3), "PNG");
  writeText(dir_ / "back.png", h.out);
  EXPECT_EQ(load(dir_ / "back.png").octets, load(data("camera.png")).octets);
}

struct BadCall {
  const char* what;
  std::vector<std::string> arguments;  // "@name" stands for a file in the work directory
  int exitCode;
  const char* fragment;
  const char* names;  // the file that the message must name, or ""
};

TEST_F(Tool, ReportsEveryErrorWithItsExitCodeAndLeavesNothingBehind) {
  fs::copy_file(data("camera.png"), dir_ / "camera.png");
  fs::copy_file(data("astronaut.png"), dir_ / "astronaut.png");
  writeText(dir_ / "notes.txt", "just text\n");
  const std::string png = readText(data("camera.png"));
  writeText(dir_ / "truncated.png", png.substr(0, png.size() / 3));
  writeBytes(dir_ / "deep.png", makePng({2,
                                         2,
                                         16,
                                         PNG_COLOR_TYPE_GRAY,
                                         false,
                                         {},
                                         {},
                                         false,
                                         0,
                                         {},
                                         std::vector<std::uint8_t>(8, 1)}));
  writeBytes(
      dir_ / "glass.png",
      makePng({1, 1, 8, PNG_COLOR_TYPE_RGB_ALPHA, false, {}, {}, false, 0, {}, {1, 2, 3, 4}}));
  writeText(dir_ / "wide.pgm", std::string("P5\n1 1\n65535\n") + std::string(2, '\0'));
  writeText(dir_ / "plain.pgm", "P2\n1 1\n255\n7\n");
  writeText(dir_ / "existing.png", "keep me");
  fs::create_directory(dir_ / "folder.png");
  writeText(dir_ / "short.key", "0,1,2\n");
  const std::string badKey = "00112233445566778899aabbccddeeXX";

  const std::vector<BadCall> calls = {
      {"no command", {}, 2, "A subcommand is required", ""},
      {"unknown command", {"scramble"}, 2, "scramble", ""},
      {"unknown cipher",
       {"encrypt", "--cipher", "aes", "--rounds", "1", "--key", kKey, "@camera.png", "@o.png"},
       2,
       "--cipher",
       ""},
      {"zero rounds",
       {"encrypt", "--cipher", "fold", "--rounds", "0", "--key", kKey, "@camera.png", "@o.png"},
       2,
       "--rounds",
       ""},
      {"rounds not a number",
       {"encrypt", "--cipher", "fold", "--rounds", "x", "--key", kKey, "@camera.png", "@o.png"},
       2,
       "--rounds",
       ""},
      {"no key",
       {"encrypt", "--cipher", "fold", "--rounds", "1", "@camera.png", "@o.png"},
       2,
       "give the key",
       ""},
      {"bad key",
       {"encrypt", "--cipher", "fold", "--rounds", "1", "--key", badKey, "@camera.png", "@o.png"},
       2,
       "not a hex digit",
       ""},
      {"short key file",
       {"encrypt", "--cipher", "fold", "--rounds", "1", "--key-file", "@short.key", "@camera.png",
        "@o.png"},
       2,
       "3 values",
       "short.key"},
      {"missing key file",
       {"encrypt", "--cipher", "fold", "--rounds", "1", "--key-file", "@none.key", "@camera.png",
        "@o.png"},
       2,
       "cannot open key file",
       "none.key"},
      {"key and key file",
       {"encrypt", "--cipher", "fold", "--rounds", "1", "--key", kKey, "--key-file", "@short.key",
        "@camera.png", "@o.png"},
       2,
       "excludes",
       ""},
      {"one file", cipherArgs("encrypt", "fold", {"@camera.png"}), 2, "expected IN OUT", ""},
      {"three files", cipherArgs("encrypt", "fold", {"@camera.png", "@a.png", "@b.png"}), 2,
       "expected IN OUT", ""},
      {"unknown extension", cipherArgs("encrypt", "fold", {"@camera.png", "@o.jpg"}), 2,
       "output format", "o.jpg"},
      {"unknown format",
       cipherArgs("encrypt", "fold", {"@camera.png", "@o.png", "--format", "gif"}), 2, "--format",
       ""},
      {"format with output dir",
       cipherArgs("encrypt", "fold", {"--output-dir", "@out", "--format", "png", "@camera.png"}), 2,
       "--format", ""},
      {"stdin with output dir", cipherArgs("encrypt", "fold", {"--output-dir", "@out", "-"}), 2,
       "standard input", ""},
      {"zero jobs",
       cipherArgs("encrypt", "fold", {"--output-dir", "@out", "-j", "0", "@camera.png"}), 2,
       "--jobs", ""},
      {"lossy flag on decrypt",
       cipherArgs("decrypt", "cube", {"--allow-lossy", "@camera.png", "@o.png"}), 2, "allow-lossy",
       ""},
      {"missing input", cipherArgs("encrypt", "fold", {"@absent.png", "@o.png"}), 1, "cannot open",
       "absent.png"},
      {"not an image", cipherArgs("encrypt", "fold", {"@notes.txt", "@o.png"}), 1,
       "not a PNG, PGM or PPM file", "notes.txt"},
      {"truncated PNG", cipherArgs("encrypt", "fold", {"@truncated.png", "@o.png"}), 1, "truncated",
       "truncated.png"},
      {"16-bit PNG", cipherArgs("encrypt", "fold", {"@deep.png", "@o.png"}), 1, "16-bit",
       "deep.png"},
      {"transparent PNG", cipherArgs("encrypt", "fold", {"@glass.png", "@o.png"}), 1,
       "transparent pixels", "glass.png"},
      {"16-bit PGM", cipherArgs("encrypt", "fold", {"@wide.pgm", "@o.pgm"}), 1, "maxval 65535",
       "wide.pgm"},
      {"plain PGM", cipherArgs("encrypt", "fold", {"@plain.pgm", "@o.pgm"}), 1, "plain (ASCII)",
       "plain.pgm"},
      {"cube on colour", cipherArgs("encrypt", "cube", {"@astronaut.png", "@o.png"}), 1,
       "gray images only", "astronaut.png"},
      {"cube loses cells", cipherArgs("encrypt", "cube", {"@camera.png", "@o.png"}, kLossyKey), 1,
       "not one-to-one", "camera.png"},
      {"colour as PGM", cipherArgs("encrypt", "fold", {"@astronaut.png", "@o.pgm"}), 1,
       "cannot be written as PGM", "o.pgm"},
      {"gray as PPM", cipherArgs("encrypt", "fold", {"@camera.png", "@o.png", "--format", "ppm"}),
       1, "cannot be written as PPM", "o.png"},
      {"existing output", cipherArgs("encrypt", "fold", {"@camera.png", "@existing.png"}), 1,
       "exists (use --force", "existing.png"},
      {"output is the input",
       cipherArgs("encrypt", "fold", {"--force", "@camera.png", "@camera.png"}), 1, "input file",
       "camera.png"},
      {"output directory missing", cipherArgs("encrypt", "fold", {"@camera.png", "@nowhere/o.png"}),
       1, "temporary file", "o.png"},
      {"empty standard input",
       cipherArgs("encrypt", "fold", {"-", "@o.png"}),
       1,
       "the file is empty",
       "<stdin>"},
      {"failure with standard output",
       cipherArgs("encrypt", "cube", {"@astronaut.png", "-"}),
       1,
       "gray images only",
       "astronaut.png"},
      {"output names a directory",
       cipherArgs("encrypt", "fold", {"--force", "@camera.png", "@folder.png"}),
       1,
       "the output is a directory",
       "folder.png"},
      {"output is a directory", cipherArgs("encrypt", "fold", {"--force", "@camera.png", "@."}), 2,
       "output format", ""},
  };
  for (const BadCall& call : calls) {
    SCOPED_TRACE(call.what);
    std::vector<std::string> arguments;
    for (const std::string& argument : call.arguments)
      arguments.push_back(argument.starts_with("@") ? path(argument.substr(1)) : argument);
    const std::set<std::string> before = listing();
    const std::string cameraBefore = readText(dir_ / "camera.png");
    const ToolResult result = run(arguments);
    EXPECT_EQ(result.exitCode, call.exitCode) << result.err;
    EXPECT_NE(result.err.find(call.fragment), std::string::npos) << result.err;
    EXPECT_EQ(lineCount(result.err), 1u) << result.err;
    EXPECT_TRUE(result.err.starts_with("chaosmix: ")) << result.err;
    if (*call.names != '\0') {
      EXPECT_NE(result.err.find(call.names), std::string::npos) << result.err;
    }
    EXPECT_EQ(result.err.find(badKey), std::string::npos);
    EXPECT_EQ(result.err.find(kKey), std::string::npos);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(listing(), before);
    EXPECT_EQ(readText(dir_ / "existing.png"), "keep me");
    EXPECT_EQ(readText(dir_ / "camera.png"), cameraBefore);
  }
}

TEST_F(Tool, ReplacesAnExistingOutputOnlyWithForce) {
  writeText(dir_ / "out.png", "old");
  const ToolResult refused =
      run(cipherArgs("encrypt", "fold", {data("camera.png"), path("out.png")}));
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(readText(dir_ / "out.png"), "old");
  const ToolResult forced =
      run(cipherArgs("encrypt", "fold", {"--force", data("camera.png"), path("out.png")}));
  ASSERT_EQ(forced.exitCode, 0) << forced.err;
  EXPECT_EQ(load(dir_ / "out.png").octets, libraryEncrypt("fold", load(data("camera.png"))));
  EXPECT_EQ(listing(), std::set<std::string>{"out.png"});
}

TEST_F(Tool, AllowLossyEncryptsWithANoticeAndDecryptionWarns) {
  const ToolResult e = run(cipherArgs(
      "encrypt", "cube", {"--allow-lossy", data("camera.png"), path("lossy.png")}, kLossyKey));
  ASSERT_EQ(e.exitCode, 0) << e.err;
  EXPECT_NE(e.err.find("notice: the cube permutation"), std::string::npos) << e.err;
  EXPECT_EQ(lineCount(e.err), 1u);
  const ToolResult d =
      run(cipherArgs("decrypt", "cube", {path("lossy.png"), path("back.png")}, kLossyKey));
  ASSERT_EQ(d.exitCode, 0) << d.err;
  EXPECT_NE(d.err.find("not the original image"), std::string::npos) << d.err;
  EXPECT_NE(load(dir_ / "back.png").octets, load(data("camera.png")).octets);
}

TEST_F(Tool, ConvertsLosslesslyWithANoticeNamingTheFile) {
  writeBytes(
      dir_ / "indexed.png",
      makePng(
          {2, 1, 8, PNG_COLOR_TYPE_PALETTE, false, {9, 8, 7, 6, 5, 4}, {}, false, 0, {}, {1, 0}}));
  const ToolResult e = run(cipherArgs("encrypt", "fold", {path("indexed.png"), path("enc.png")}));
  ASSERT_EQ(e.exitCode, 0) << e.err;
  EXPECT_EQ(e.err,
            "chaosmix: " + path("indexed.png") + ": notice: palette image expanded to RGB\n");
  const ToolResult d = run(cipherArgs("decrypt", "fold", {path("enc.png"), path("dec.ppm")}));
  ASSERT_EQ(d.exitCode, 0) << d.err;
  EXPECT_EQ(load(dir_ / "dec.ppm").octets, (std::vector<std::uint8_t>{6, 9, 5, 8, 4, 7}));
}

TEST_F(Tool, BatchesRunInParallelAndOneFailureDoesNotStopTheOthers) {
  fs::create_directory(dir_ / "in");
  for (int i = 0; i < 5; ++i)
    writeBytes(dir_ / "in" / ("image" + std::to_string(i) + ".png"),
               encodePng(randomImage(16 + i, 9, i % 2 == 0 ? 1 : 3, 10 + i)));
  writeText(dir_ / "in" / "broken.png", "no image");
  std::vector<std::string> inputs;
  for (const auto& entry : fs::directory_iterator(dir_ / "in"))
    inputs.push_back(entry.path().string());
  std::vector<std::string> args = {"--output-dir", path("out"), "-j", "3"};
  args.insert(args.end(), inputs.begin(), inputs.end());

  const ToolResult e = run(cipherArgs("encrypt", "fold", args));
  EXPECT_EQ(e.exitCode, 1);
  EXPECT_NE(e.err.find("broken.png: not a PNG, PGM or PPM file"), std::string::npos) << e.err;
  EXPECT_NE(e.err.find("encrypted 5 of 6 files into " + path("out") + "; 1 failed"),
            std::string::npos)
      << e.err;
  EXPECT_EQ(e.err.find('\r'), std::string::npos) << "a progress bar on a non-terminal";
  EXPECT_EQ(lineCount(e.err), 2u) << e.err;
  EXPECT_FALSE(fs::exists(dir_ / "out" / "broken.png"));

  fs::remove(dir_ / "in" / "broken.png");
  std::vector<std::string> back = {"--output-dir", path("back")};
  for (int i = 0; i < 5; ++i) back.push_back(path("out/image" + std::to_string(i) + ".png"));
  const ToolResult d = run(cipherArgs("decrypt", "fold", back));
  ASSERT_EQ(d.exitCode, 0) << d.err;
  EXPECT_EQ(d.err, "chaosmix: decrypted 5 files into " + path("back") + "\n");
  for (int i = 0; i < 5; ++i) {
    const std::string name = "image" + std::to_string(i) + ".png";
    EXPECT_EQ(load(dir_ / "back" / name).octets, load(dir_ / "in" / name).octets) << name;
  }
  // A second run refuses every existing output and writes nothing.
  const ToolResult again = run(cipherArgs("decrypt", "fold", back));
  EXPECT_EQ(again.exitCode, 1);
  EXPECT_NE(again.err.find("decrypted 0 of 5 files"), std::string::npos) << again.err;
}

TEST_F(Tool, BatchNeverOverwritesItsInputsEvenWithForce) {
  fs::create_directory(dir_ / "in");
  writeBytes(dir_ / "in" / "a.png", encodePng(randomImage(4, 4, 1, 1)));
  writeBytes(dir_ / "in" / "b.pgm", encodePnm(randomImage(4, 4, 1, 2)));
  const std::string a = readText(dir_ / "in" / "a.png");
  const std::string b = readText(dir_ / "in" / "b.pgm");
  const ToolResult r =
      run(cipherArgs("encrypt", "fold",
                     {"--force", "--output-dir", path("in"), path("in/a.png"), path("in/b.pgm")}));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("a.png: refusing to overwrite the input file"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("b.pgm: refusing to overwrite the input file"), std::string::npos) << r.err;
  EXPECT_EQ(readText(dir_ / "in" / "a.png"), a);
  EXPECT_EQ(readText(dir_ / "in" / "b.pgm"), b);
  EXPECT_EQ(listing(), (std::set<std::string>{"in", "in/a.png", "in/b.pgm"}));
}

TEST_F(Tool, BatchRefusesTwoInputsWithOneName) {
  fs::create_directory(dir_ / "a");
  fs::create_directory(dir_ / "b");
  writeBytes(dir_ / "a" / "x.png", encodePng(randomImage(3, 3, 1, 1)));
  writeBytes(dir_ / "b" / "x.png", encodePng(randomImage(3, 3, 1, 2)));
  const ToolResult r = run(cipherArgs(
      "encrypt", "fold", {"--output-dir", path("out"), path("a/x.png"), path("b/x.png")}));
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("share the name x.png"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(dir_ / "out"));
}

TEST_F(Tool, KeygenWritesFreshKeysThatTheCiphersRead) {
  const ToolResult first = run({"keygen"});
  const ToolResult second = run({"keygen"});
  ASSERT_EQ(first.exitCode, 0);
  ASSERT_EQ(first.out.size(), 33u);
  EXPECT_EQ(first.out.find_first_not_of("0123456789abcdef"), 32u);
  EXPECT_NE(first.out, second.out);

  const ToolResult toFile = run({"keygen", "--out", path("k.key")});
  ASSERT_EQ(toFile.exitCode, 0) << toFile.err;
  EXPECT_EQ(toFile.out, "");
  EXPECT_EQ(toFile.err, "");
  EXPECT_EQ(fs::status(dir_ / "k.key").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  const std::string key = readText(dir_ / "k.key");
  const ToolResult refused = run({"keygen", "--out", path("k.key")});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(readText(dir_ / "k.key"), key);

  const ToolResult e = run({"encrypt", "--cipher", "fold", "--rounds", "1", "--key-file",
                            path("k.key"), data("camera.png"), path("enc.png")});
  ASSERT_EQ(e.exitCode, 0) << e.err;
  const ToolResult d = run({"decrypt", "--cipher", "fold", "--rounds", "1", "--key",
                            key.substr(0, 32), path("enc.png"), path("dec.png")});
  ASSERT_EQ(d.exitCode, 0) << d.err;
  EXPECT_EQ(load(dir_ / "dec.png").octets, load(data("camera.png")).octets);
}

TEST_F(Tool, DemoPrintsTheTableAndWritesTheImages) {
  const ToolResult r = run({"demo", "--out", path("demo"), "--rounds", "1"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("round trip"), std::string::npos) << r.out;
  const std::string rows[] = {"camera.png     cube", "camera.png     fold", "astronaut.png  fold"};
  for (const std::string& row : rows) {
    const std::size_t at = r.out.find(row);
    ASSERT_NE(at, std::string::npos) << r.out;
    const std::string line = r.out.substr(at, r.out.find('\n', at) - at);
    EXPECT_TRUE(line.ends_with(" ok")) << line;
  }
  EXPECT_EQ(listing().size(), 7u);  // the directory and its six images
  EXPECT_EQ(load(dir_ / "demo" / "astronaut-fold-decrypted.png").octets,
            load(data("astronaut.png")).octets);
  // A second run replaces its own images.
  EXPECT_EQ(run({"demo", "--out", path("demo"), "--rounds", "1"}).exitCode, 0);

  const ToolResult missing = run({"demo", "--out", path("demo2"), "--data", path("nothing")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("--data"), std::string::npos) << missing.err;
}

TEST_F(Tool, HelpDocumentsTheInputCasesAndVersionAnswers) {
  const ToolResult version = run({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_TRUE(version.out.starts_with("chaosmix ")) << version.out;
  for (const char* command : {"encrypt", "decrypt"}) {
    const ToolResult help = run({command, "--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* topic : {"palette", "16-bit", "interlaced", "alpha", "maxval 255", "--force",
                              "gray images only", "one-to-one", "Exit codes"})
      EXPECT_NE(help.out.find(topic), std::string::npos) << command << ": " << topic;
  }
  for (const char* command : {"keygen", "demo"}) EXPECT_EQ(run({command, "--help"}).exitCode, 0);
}

}  // namespace
}  // namespace chaosmix::cli

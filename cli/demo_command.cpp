// demo: both ciphers on the bundled images, with a table of the results.

#include "cli/atomic_write.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/errors.h"
#include "cli/image_io.h"
#include "cli/transform.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace chaosmix::cli {

namespace {

// A fixed, public demonstration key (never use it for real data). For 512 x 512 images its cube
// permutation is one-to-one, so both ciphers restore the bundled images.
constexpr CipherKey kDemoKey = {0x3a, 0x91, 0x5c, 0x07, 0xe2, 0x4f, 0xb8, 0x16,
                                0xd3, 0x6e, 0x29, 0xa4, 0x71, 0xc5, 0x0b, 0x59};

struct DemoOptions {
  std::string out = "demo-out";
  std::string data = CHAOSMIX_DATA_DIR;
  std::int32_t rounds = 3;
};

struct DemoCase {
  const char* image;
  Cipher cipher;
};

constexpr DemoCase kCases[] = {
    {"camera.png", Cipher::cube},
    {"camera.png", Cipher::fold},
    {"astronaut.png", Cipher::fold},
};

struct DemoRow {
  std::string image;
  std::string cipher;
  double milliseconds = 0;
  bool roundTrip = false;
};

void writeImage(const std::filesystem::path& path, const Image& image) {
  try {
    writeFileAtomically(path, encodePng(image), Overwrite::replace);
  } catch (const std::exception& e) {
    throw std::runtime_error(path.string() + ": " + e.what());
  }
}

DemoRow runCase(const DemoCase& demoCase, const DemoOptions& options, Console& console) {
  const std::filesystem::path input = std::filesystem::path(options.data) / demoCase.image;
  DecodedImage decoded;
  try {
    decoded = readImageFile(input);
  } catch (const std::exception& e) {
    throw std::runtime_error(input.string() + ": " + e.what() + " (give the images' directory "
                             "with --data DIR)");
  }
  for (const std::string& notice : decoded.notices)
    console.message(input.string(), "notice: " + notice);

  CipherSettings settings;
  settings.cipher = demoCase.cipher;
  settings.rounds = options.rounds;
  settings.key = kDemoKey;
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  const TransformResult encrypted = transformImage(decoded.image, Direction::encrypt, settings);
  const TransformResult decrypted = transformImage(encrypted.image, Direction::decrypt, settings);
  const Clock::time_point stop = Clock::now();

  const std::string stem = input.stem().string() + "-" + cipherName(demoCase.cipher);
  const std::filesystem::path out = options.out;
  writeImage(out / (stem + "-encrypted.png"), encrypted.image);
  writeImage(out / (stem + "-decrypted.png"), decrypted.image);

  DemoRow row;
  row.image = demoCase.image;
  row.cipher = cipherName(demoCase.cipher);
  row.milliseconds = std::chrono::duration<double, std::milli>(stop - start).count();
  row.roundTrip = decrypted.image.octets == decoded.image.octets;
  return row;
}

int runDemo(const DemoOptions& options) {
  std::error_code error;
  std::filesystem::create_directories(options.out, error);
  if (error || !std::filesystem::is_directory(options.out))
    throw std::runtime_error(options.out + ": cannot create the output directory" +
                             (error ? ": " + error.message() : std::string()));
  Console console(false);
  std::vector<DemoRow> rows;
  for (const DemoCase& demoCase : kCases) rows.push_back(runCase(demoCase, options, console));

  bool allRestored = true;
  std::printf("%-14s %-6s %6s %16s  %s\n", "image", "cipher", "rounds", "time (enc+dec)",
              "round trip");
  for (const DemoRow& row : rows) {
    std::printf("%-14s %-6s %6d %13.1f ms  %s\n", row.image.c_str(), row.cipher.c_str(),
                options.rounds, row.milliseconds, row.roundTrip ? "ok" : "FAILED");
    allRestored = allRestored && row.roundTrip;
  }
  std::printf("Images written to %s/\n", options.out.c_str());
  std::fflush(stdout);
  return allRestored ? kExitSuccess : kExitFailure;
}

}  // namespace

void addDemoCommand(CLI::App& app, CommandRun& run) {
  CLI::App* command = app.add_subcommand(
      "demo", "Encrypt and decrypt the bundled images with both ciphers and print a table");
  auto options = std::make_shared<DemoOptions>();
  command->add_option("--out", options->out, "directory for the images (replaced on each run)")
      ->option_text("DIR")
      ->capture_default_str();
  command->add_option("--data", options->data, "directory holding camera.png and astronaut.png")
      ->option_text("DIR")
      ->capture_default_str();
  command->add_option("--rounds", options->rounds, "number of rounds")
      ->check(CLI::Range(1, 100))
      ->capture_default_str();
  command->footer("The demo uses a fixed public key; the cube cipher runs on the gray image only.");
  command->callback([&run, options] { run = [options] { return runDemo(*options); }; });
}

}  // namespace chaosmix::cli

// analyze: encrypts an image, runs the security measurements and prints the table (text or
// JSON); optionally writes the self-contained HTML report.

#include "cli/atomic_write.h"
#include "cli/cipher_options.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/errors.h"
#include "cli/image_io.h"

#include <chaosmix/analysis.h>

#include <cstdio>
#include <memory>
#include <string>

namespace chaosmix::cli {

namespace {

struct AnalyzeOptions {
  CipherOptions cipher;
  std::string image;
  std::string report;
  bool json = false;
  bool force = false;
  std::uint64_t seed = 1;
};

analysis::ImageView viewOf(const Image& image) {
  return {image.rows, image.columns, image.planes, image.octets};
}

Image imageLike(const Image& shape, std::vector<std::uint8_t> octets) {
  return {shape.rows, shape.columns, shape.planes, std::move(octets)};
}

void writeText(const std::string& text) {
  writeStandardOutput({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

int runAnalyze(const AnalyzeOptions& options) {
  const CipherSettings settings = cipherSettings(options.cipher);
  const Overwrite overwrite = options.force ? Overwrite::replace : Overwrite::refuse;
  if (!options.report.empty()) {
    try {
      checkOutputAllowed(options.report, options.image, overwrite);
    } catch (const WriteError& e) {
      throw std::runtime_error(options.report + ": " + e.what());
    }
  }
  const std::string inputName = displayName(options.image, false);
  Console console(false);
  DecodedImage decoded;
  analysis::CipherAnalysis result;
  try {
    decoded = readImageFile(options.image);
    for (const std::string& notice : decoded.notices)
      console.message(inputName, "notice: " + notice);
    analysis::AnalysisOptions analysisOptions;
    analysisOptions.cipher =
        settings.cipher == Cipher::cube ? analysis::Cipher::cube : analysis::Cipher::fold;
    analysisOptions.rounds = settings.rounds;
    analysisOptions.key = settings.key;
    analysisOptions.seed = options.seed;
    result = analysis::analyzeCipher(viewOf(decoded.image), analysisOptions);
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    throw std::runtime_error(inputName + ": " + e.what());
  }

  const Image& plain = decoded.image;
  const Image cipher = imageLike(plain, result.cipherOctets);
  const Image decrypted = imageLike(plain, result.decryptedOctets);
  if (!options.report.empty()) {
    const analysis::EncodedImages images{encodePng(plain), encodePng(cipher),
                                         encodePng(decrypted)};
    const std::string html = analysis::renderHtml(result.report, viewOf(plain), viewOf(cipher),
                                                  images, options.seed);
    try {
      writeFileAtomically(options.report,
                          {reinterpret_cast<const std::uint8_t*>(html.data()), html.size()},
                          overwrite);
    } catch (const WriteError& e) {
      throw std::runtime_error(options.report + ": " + e.what());
    }
  }
  writeText(options.json ? analysis::renderJson(result.report)
                         : analysis::renderText(result.report));
  return kExitSuccess;
}

}  // namespace

void addAnalyzeCommand(CLI::App& app, CommandRun& run) {
  CLI::App* command = app.add_subcommand(
      "analyze", "Encrypt an image and measure the cipher: histogram, entropy, correlation, "
                 "NPCR/UACI, key sensitivity, round trip, speed");
  auto options = std::make_shared<AnalyzeOptions>();
  addCipherOptions(*command, options->cipher);
  command->add_option("IMAGE", options->image, "the plain image (PNG, PGM or PPM; '-': stdin)")
      ->required();
  command->add_option("--report", options->report,
                      "also write a self-contained HTML page with the images, histograms, "
                      "adjacent-pixel plots and the table")
      ->option_text("FILE.html");
  command->add_flag("--json", options->json, "print the table as JSON instead of text");
  command->add_option("--seed", options->seed,
                      "seed of the changed pixel, the flipped key bit and the local entropy "
                      "blocks (default 1)");
  command->add_flag("--force", options->force, "replace an existing report file");
  command->footer(
      "Every test is judged at the significance level 0.05; the critical values at 0.05, 0.01\n"
      "and 0.001 follow the table. A failed test is a result, not an error: the exit code is 0\n"
      "whenever the analysis ran.");
  command->callback([&run, options] { run = [options] { return runAnalyze(*options); }; });
}

}  // namespace chaosmix::cli

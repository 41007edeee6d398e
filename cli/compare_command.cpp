// compare: NPCR, UACI (with their randomness tests) and PSNR of two images of the same size.

#include "cli/atomic_write.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/errors.h"
#include "cli/image_io.h"

#include <chaosmix/analysis.h>

#include <memory>
#include <string>

namespace chaosmix::cli {

namespace {

struct CompareOptions {
  std::string first;
  std::string second;
  bool json = false;
};

DecodedImage readNamed(const std::string& path, Console& console) {
  const std::string name = displayName(path, false);
  try {
    DecodedImage decoded = readImageFile(path);
    for (const std::string& notice : decoded.notices) console.message(name, "notice: " + notice);
    return decoded;
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    throw std::runtime_error(name + ": " + e.what());
  }
}

int runCompare(const CompareOptions& options) {
  if (options.first == "-" && options.second == "-")
    throw UsageError("only one of the two images can come from standard input");
  Console console(false);
  const DecodedImage a = readNamed(options.first, console);
  const DecodedImage b = readNamed(options.second, console);
  analysis::Report report;
  try {
    report = analysis::compareImages(
        {a.image.rows, a.image.columns, a.image.planes, a.image.octets},
        {b.image.rows, b.image.columns, b.image.planes, b.image.octets});
  } catch (const std::invalid_argument& e) {
    throw std::runtime_error(displayName(options.first, false) + " and " +
                             displayName(options.second, false) + ": " + e.what());
  }
  report.facts.insert(report.facts.begin(), {{"A", displayName(options.first, false)},
                                             {"B", displayName(options.second, false)}});
  const std::string text = options.json ? analysis::renderJson(report)
                                        : analysis::renderText(report);
  writeStandardOutput({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
  return kExitSuccess;
}

}  // namespace

void addCompareCommand(CLI::App& app, CommandRun& run) {
  CLI::App* command = app.add_subcommand(
      "compare", "NPCR, UACI and PSNR of two images of the same size, per colour plane");
  auto options = std::make_shared<CompareOptions>();
  command->add_option("A", options->first, "the first image (PNG, PGM or PPM; '-': stdin)")
      ->required();
  command->add_option("B", options->second, "the second image")->required();
  command->add_flag("--json", options->json, "print the table as JSON instead of text");
  command->footer(
      "NPCR passes above N* and UACI inside U*, the critical values of two independent uniform\n"
      "images at the significance level 0.05 (the values at 0.01 and 0.001 follow the table).");
  command->callback([&run, options] { run = [options] { return runCompare(*options); }; });
}

}  // namespace chaosmix::cli

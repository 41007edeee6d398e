// encrypt and decrypt: image files in, image files out.

#include "cli/atomic_write.h"
#include "cli/cipher_options.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/errors.h"
#include "cli/image_io.h"
#include "cli/parallel.h"
#include "cli/transform.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <set>
#include <thread>
#include <unistd.h>
#include <vector>

namespace chaosmix::cli {

namespace {

constexpr const char* kInputHelp =
    R"(Files: IN and OUT are PNG, PGM or PPM files; '-' reads standard input or writes
standard output. A file of width W and height H is the array of H rows and W columns
(planes red, green, blue) that imread gives, so the results equal those of the MEX
functions (cubemix, foldmix, ...) on double(imread(IN)). The output format follows OUT's
extension (.png, .pgm, .ppm, .pnm), or --format; on standard output it defaults to the
input's format.
With --output-dir, each input is written under its own name into DIR, in parallel.

Inputs:
  8-bit gray or RGB PNG, binary PGM/PPM (maxval 255)   read as they are
  1, 2 or 4-bit gray PNG             expanded to 8 bits (0..255), with a notice
  palette PNG                        expanded to RGB (to gray when all entries are
                                     gray), with a notice; imread would give the indices
  alpha channel or transparency      dropped with a notice when every pixel is opaque,
                                     otherwise an error
  interlaced PNG                     read in full, with a notice; output not interlaced
  16-bit PNG, other maxvals, plain (ASCII) PNM, PAM, broken or truncated files: errors
The cube cipher takes gray images only. It refuses to encrypt where its permutation is
not one-to-one for the image's size and key (decryption could not restore the image):
use another size or key, or --allow-lossy.

Output is written atomically (temporary file, then rename); the input is never
overwritten, and an existing file only with --force. Exit codes: 0 success, 1 failure
(of any file), 2 usage error.)";

struct CipherCommandOptions {
  CipherOptions cipher;
  std::vector<std::string> files;
  std::string outputDir;
  std::string format;
  bool force = false;
  bool allowLossy = false;
  std::size_t jobs = 0;
};

struct FileJob {
  std::string input;
  std::string output;
  std::optional<OutputFormat> format;  // empty: from the output's name, else the input's format
};

// Encrypts or decrypts one file; reports every notice and failure on the console, each naming
// its file. Returns whether the output was written.
bool processFile(const FileJob& job, Direction direction, const CipherSettings& settings,
                 Overwrite overwrite, Console& console) {
  const std::string inputName = displayName(job.input, false);
  const std::string outputName = displayName(job.output, true);
  std::string subject = outputName;
  try {
    if (job.output != "-") checkOutputAllowed(job.output, job.input, overwrite);
    subject = inputName;
    const DecodedImage decoded = readImageFile(job.input);
    for (const std::string& notice : decoded.notices)
      console.message(inputName, "notice: " + notice);
    const TransformResult result = transformImage(decoded.image, direction, settings);
    for (const std::string& notice : result.notices)
      console.message(inputName, "notice: " + notice);
    subject = outputName;
    OutputFormat format = defaultOutputFormat(decoded.format);
    if (job.format)
      format = *job.format;
    else if (job.output != "-")
      outputFormatFromName(job.output, format);
    const std::vector<std::uint8_t> bytes = encodeImage(result.image, format);
    if (job.output == "-")
      writeStandardOutput(bytes);
    else
      writeFileAtomically(job.output, bytes, overwrite);
    return true;
  } catch (const std::bad_alloc&) {
    console.message(subject, "out of memory");
  } catch (const std::exception& e) {
    console.message(subject, e.what());
  }
  return false;
}

int runSingle(const CipherCommandOptions& options, Direction direction,
              const CipherSettings& settings, Overwrite overwrite) {
  if (options.files.size() != 2)
    throw UsageError("expected IN OUT, or --output-dir DIR with the inputs");
  FileJob job{options.files[0], options.files[1], std::nullopt};
  OutputFormat format{};
  if (!options.format.empty()) {
    outputFormatFromText(options.format, format);
    job.format = format;
  } else if (job.output != "-" && !outputFormatFromName(job.output, format)) {
    throw UsageError("cannot tell the output format from the name " + job.output +
                     " (use .png, .pgm, .ppm or .pnm, or --format)");
  }
  if (job.output == "-" && ::isatty(STDOUT_FILENO) == 1)
    throw UsageError("refusing to write image data to a terminal (redirect standard output)");
  if (job.input == "-" && ::isatty(STDIN_FILENO) == 1)
    throw UsageError("refusing to read image data from a terminal (redirect standard input)");
  Console console(false);
  return processFile(job, direction, settings, overwrite, console) ? kExitSuccess : kExitFailure;
}

int runBatch(const CipherCommandOptions& options, Direction direction,
             const CipherSettings& settings, Overwrite overwrite) {
  if (!options.format.empty())
    throw UsageError(
        "--format cannot be combined with --output-dir (outputs keep the inputs' "
        "names and formats)");
  const std::filesystem::path directory = options.outputDir;
  std::vector<FileJob> jobs;
  std::set<std::filesystem::path> names;
  for (const std::string& input : options.files) {
    if (input == "-") throw UsageError("standard input ('-') cannot be used with --output-dir");
    const std::filesystem::path name = std::filesystem::path(input).filename();
    if (name.empty() || name == "." || name == "..")
      throw UsageError("input " + input + " does not name a file");
    if (!names.insert(name).second)
      throw UsageError("two inputs share the name " + name.string() +
                       " and would be written to the same output");
    jobs.push_back({input, (directory / name).string(), std::nullopt});
  }
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  if (error || !std::filesystem::is_directory(directory))
    throw std::runtime_error(options.outputDir + ": cannot create the output directory" +
                             (error ? ": " + error.message() : std::string()));

  Console console(true);
  std::vector<char> succeeded(jobs.size(), 0);
  console.progress(0, jobs.size());
  const std::size_t workers =
      options.jobs != 0 ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
  runInParallel(
      jobs.size(), workers,
      [&](std::size_t i) {
        succeeded[i] = processFile(jobs[i], direction, settings, overwrite, console) ? 1 : 0;
      },
      [&](std::size_t done) { console.progress(done, jobs.size()); });
  console.finishProgress();

  const std::size_t ok =
      static_cast<std::size_t>(std::count(succeeded.begin(), succeeded.end(), 1));
  const std::string verb = direction == Direction::encrypt ? "encrypted" : "decrypted";
  const std::size_t failed = jobs.size() - ok;
  if (failed == 0)
    console.message(verb + " " + std::to_string(ok) + (ok == 1 ? " file" : " files") + " into " +
                    options.outputDir);
  else
    console.message(verb + " " + std::to_string(ok) + " of " + std::to_string(jobs.size()) +
                    " files into " + options.outputDir + "; " + std::to_string(failed) + " failed");
  return failed == 0 ? kExitSuccess : kExitFailure;
}

int runCipherCommand(const CipherCommandOptions& options, Direction direction) {
  CipherSettings settings = cipherSettings(options.cipher);
  settings.allowLossy = options.allowLossy;
  const Overwrite overwrite = options.force ? Overwrite::replace : Overwrite::refuse;
  return options.outputDir.empty() ? runSingle(options, direction, settings, overwrite)
                                   : runBatch(options, direction, settings, overwrite);
}

void addCipherCommand(CLI::App& app, CommandRun& run, Direction direction) {
  const bool encrypt = direction == Direction::encrypt;
  CLI::App* command = app.add_subcommand(
      encrypt ? "encrypt" : "decrypt",
      encrypt ? "Encrypt image files with the cube or fold cipher"
              : "Decrypt image files encrypted with the same cipher, rounds and key");
  auto options = std::make_shared<CipherCommandOptions>();
  addCipherOptions(*command, options->cipher);
  command->add_option("files", options->files, "IN OUT, or with --output-dir: the inputs")
      ->required()
      ->option_text("IN OUT | IN...");
  command
      ->add_option("--output-dir", options->outputDir,
                   "write each input under its own name into DIR (created if missing)")
      ->option_text("DIR");
  command->add_option("--format", options->format, "output format (default: see below)")
      ->check(CLI::IsMember({"png", "pgm", "ppm", "pnm"}));
  command->add_flag("--force", options->force, "replace existing output files");
  if (encrypt)
    command->add_flag("--allow-lossy", options->allowLossy,
                      "cube cipher: encrypt even where decryption cannot restore the image");
  command
      ->add_option("-j,--jobs", options->jobs,
                   "files processed at once with --output-dir (default: the number of cores)")
      ->check(CLI::Range(1, 1024));
  command->footer(kInputHelp);
  command->callback([&run, options, direction] {
    run = [options, direction] { return runCipherCommand(*options, direction); };
  });
}

}  // namespace

void addCipherCommands(CLI::App& app, CommandRun& run) {
  addCipherCommand(app, run, Direction::encrypt);
  addCipherCommand(app, run, Direction::decrypt);
}

}  // namespace chaosmix::cli

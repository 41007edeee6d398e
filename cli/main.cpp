// chaosmix: encrypts and decrypts image files with the cube and fold ciphers.

#include "cli/commands.h"
#include "cli/errors.h"
#include "cli/heap_tuning.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

namespace {

void printError(const std::string& message) {
  std::fprintf(stderr, "chaosmix: %s\n", message.c_str());
}

// CLI11's messages may span lines; the tool reports one line per message.
std::string oneLine(std::string text) {
  for (char& c : text)
    if (c == '\n') c = ' ';
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace chaosmix::cli;
  keepFreedBuffersForReuse();
  CLI::App app{"chaosmix: chaos-based image ciphers for image files (PNG, PGM, PPM)", "chaosmix"};
  app.set_version_flag("--version", "chaosmix " CHAOSMIX_VERSION);
  app.require_subcommand(1);
  app.footer("Run 'chaosmix COMMAND --help' for the options of each command.\n"
             "Exit codes: 0 success, 1 failure of the work, 2 usage error.");

  CommandRun run;
  addCipherCommands(app, run);
  addKeygenCommand(app, run);
  addDemoCommand(app, run);
  addAnalyzeCommand(app, run);
  addCompareCommand(app, run);

  // CLI11 would only say that a command is required.
  if (argc > 1 && argv[1][0] != '-') {
    try {
      app.get_subcommand(argv[1]);
    } catch (const CLI::OptionNotFound&) {
      printError(std::string("unknown command '") + argv[1] + "' (run 'chaosmix --help')");
      return kExitUsage;
    }
  }

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    const std::vector<CLI::App*> chosen = app.get_subcommands();
    const std::string help =
        chosen.empty() ? "chaosmix --help" : "chaosmix " + chosen.front()->get_name() + " --help";
    printError(oneLine(e.what()) + " (run '" + help + "')");
    return kExitUsage;
  }

  if (!run) return kExitSuccess;
  try {
    return run();
  } catch (const UsageError& e) {
    printError(e.what());
    return kExitUsage;
  } catch (const std::bad_alloc&) {
    printError("out of memory");
    return kExitFailure;
  } catch (const std::exception& e) {
    printError(e.what());
    return kExitFailure;
  }
}

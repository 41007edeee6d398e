#pragma once
// The subcommands of the chaosmix tool. Each add*Command function registers one subcommand (or a
// family of them) on the application; when that subcommand is chosen on the command line, its
// parse callback stores the work to run into `run`, which main() calls after parsing.
//
// The work returns the process exit code: 0 success, 1 failure of the work. Usage errors found
// while running are thrown as UsageError (cli/errors.h) and give exit code 2.

#include <CLI/CLI.hpp>

#include <functional>

namespace chaosmix::cli {

using CommandRun = std::function<int()>;

void addCipherCommands(CLI::App& app, CommandRun& run);  // encrypt, decrypt
void addKeygenCommand(CLI::App& app, CommandRun& run);
void addDemoCommand(CLI::App& app, CommandRun& run);
void addAnalyzeCommand(CLI::App& app, CommandRun& run);
void addCompareCommand(CLI::App& app, CommandRun& run);

}  // namespace chaosmix::cli

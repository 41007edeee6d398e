// Spawning the tool with posix_spawn, its streams redirected to files (no pipe can fill up).

#include "tool_runner.h"

#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace chaosmix::cli::testing {

namespace {

std::string slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// posix_spawn's file actions, released on every path.
class FileActions {
 public:
  FileActions() { posix_spawn_file_actions_init(&actions_); }
  ~FileActions() { posix_spawn_file_actions_destroy(&actions_); }
  FileActions(const FileActions&) = delete;
  FileActions& operator=(const FileActions&) = delete;
  posix_spawn_file_actions_t* get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

}  // namespace

ToolResult runTool(const std::vector<std::string>& arguments, const std::filesystem::path& scratch,
                   const std::filesystem::path& input) {
  const std::filesystem::path outPath = scratch / ".tool-stdout";
  const std::filesystem::path errPath = scratch / ".tool-stderr";
  FileActions actions;
  posix_spawn_file_actions_addopen(actions.get(), STDIN_FILENO, input.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(actions.get(), STDOUT_FILENO, outPath.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(actions.get(), STDERR_FILENO, errPath.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);

  std::vector<std::string> argv_storage;
  argv_storage.push_back(CHAOSMIX_TOOL);
  argv_storage.insert(argv_storage.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : argv_storage) argv.push_back(argument.data());
  argv.push_back(nullptr);

  pid_t pid = 0;
  if (posix_spawn(&pid, CHAOSMIX_TOOL, actions.get(), nullptr, argv.data(), environ) != 0)
    throw std::runtime_error("cannot start " CHAOSMIX_TOOL);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
  }
  ToolResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = slurp(outPath);
  result.err = slurp(errPath);
  std::filesystem::remove(outPath);
  std::filesystem::remove(errPath);
  return result;
}

}  // namespace chaosmix::cli::testing

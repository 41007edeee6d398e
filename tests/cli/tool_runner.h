#pragma once
// Runs the chaosmix executable as a separate process and collects what it gives back.

#include <filesystem>
#include <string>
#include <vector>

namespace chaosmix::cli::testing {

struct ToolResult {
  int exitCode = -1;  // -1 when the process did not exit normally
  std::string out;
  std::string err;
};

// Runs the tool with `arguments`, standard input read from `input` (default: empty), standard
// output and standard error captured through files in `scratch`.
ToolResult runTool(const std::vector<std::string>& arguments, const std::filesystem::path& scratch,
                   const std::filesystem::path& input = "/dev/null");

}  // namespace chaosmix::cli::testing

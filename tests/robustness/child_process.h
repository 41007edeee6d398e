#pragma once
// Running a piece of a test, or the command-line tool, in a child process: under a memory
// limit, with a deadline, or to be killed at a chosen moment.

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace chaosmix::test {

// Whether this build runs under a sanitizer that reserves terabytes of address space (an
// address-space limit cannot be combined with it) or that watches threads.
bool underSanitizer();

struct ChildOutcome {
  bool exited = false;  // ended by exit(); otherwise by a signal
  int exitCode = -1;
  int signal = 0;
  std::string report;   // what the child wrote to its report pipe
  std::string err;      // the child's standard error (tool runs)
};

// Runs `body` in a forked child whose address space is limited to `addressSpaceLimit` bytes
// (0: no limit) and which is killed after `deadline`. The body writes its findings with
// `report` and returns the child's exit code.
using Report = std::function<void(const std::string&)>;
ChildOutcome runInChild(const std::function<int(const Report& report)>& body,
                        std::size_t addressSpaceLimit, std::chrono::seconds deadline);

// Starts the tool with `arguments` (standard input /dev/null, standard error to `errFile`).
pid_t startTool(const std::vector<std::string>& arguments, const std::string& errFile,
                std::size_t addressSpaceLimit = 0);

// Waits for the child and collects how it ended (standard error read from `errFile`).
ChildOutcome waitForTool(pid_t pid, const std::string& errFile);

// Whether the child has ended, without collecting it (waitForTool still can).
bool hasEnded(pid_t pid);

}  // namespace chaosmix::test

#include "child_process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace chaosmix::test {

bool underSanitizer() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
  return true;
#else
  return false;
#endif
#else
  return false;
#endif
}

namespace {

void limitAddressSpace(std::size_t limit) {
  if (limit == 0) return;
  const rlimit r{limit, limit};
  setrlimit(RLIMIT_AS, &r);
}

ChildOutcome collect(pid_t pid) {
  ChildOutcome outcome;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) std::abort();  // not our child, or already collected: a test defect
  }
  outcome.exited = WIFEXITED(status);
  if (outcome.exited) outcome.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
  return outcome;
}

}  // namespace

ChildOutcome runInChild(const std::function<int(const Report& report)>& body,
                        std::size_t addressSpaceLimit, std::chrono::seconds deadline) {
  int fds[2];
  if (pipe(fds) != 0) std::abort();
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    alarm(static_cast<unsigned>(deadline.count()));  // a hang ends the child with SIGALRM
    limitAddressSpace(addressSpaceLimit);
    const int out = fds[1];
    const int code = body([out](const std::string& text) {
      const std::string line = text + "\n";
      if (write(out, line.data(), line.size()) < 0) _exit(99);
    });
    _exit(code);
  }
  close(fds[1]);
  std::string report;
  char buffer[512];
  for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) != 0;) {
    if (n > 0) report.append(buffer, static_cast<std::size_t>(n));
  }
  close(fds[0]);
  ChildOutcome outcome = collect(pid);
  outcome.report = report;
  return outcome;
}

bool hasEnded(pid_t pid) {
  siginfo_t info{};
  return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
         info.si_pid == pid;
}

#ifdef CHAOSMIX_TOOL
pid_t startTool(const std::vector<std::string>& arguments, const std::string& errFile,
                std::size_t addressSpaceLimit) {
  std::vector<std::string> argv{CHAOSMIX_TOOL};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<char*> raw;
  for (auto& a : argv) raw.push_back(a.data());
  raw.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open("/dev/null", O_RDONLY);
    const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int out = open("/dev/null", O_WRONLY);
    if (in < 0 || err < 0 || out < 0) _exit(127);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    limitAddressSpace(addressSpaceLimit);
    execv(raw[0], raw.data());
    _exit(127);
  }
  return pid;
}

ChildOutcome waitForTool(pid_t pid, const std::string& errFile) {
  ChildOutcome outcome = collect(pid);
  std::ifstream in(errFile);
  outcome.err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return outcome;
}
#endif

}  // namespace chaosmix::test

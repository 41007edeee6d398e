// Messages and the progress bar.

#include "cli/console.h"

#include <cstdio>
#include <unistd.h>

namespace chaosmix::cli {

namespace {
constexpr std::size_t kBarWidth = 30;
}

Console::Console(bool showProgress) : barEnabled_(showProgress && ::isatty(STDERR_FILENO) == 1) {}

void Console::message(const std::string& subject, const std::string& text) {
  message(subject + ": " + text);
}

void Console::message(const std::string& text) {
  std::lock_guard lock(mutex_);
  clearBarLocked();
  std::fprintf(stderr, "chaosmix: %s\n", text.c_str());
  if (barShown_) drawBarLocked();
  std::fflush(stderr);
}

void Console::progress(std::size_t done, std::size_t total) {
  if (!barEnabled_) return;
  std::lock_guard lock(mutex_);
  done_ = done;
  total_ = total;
  barShown_ = true;
  drawBarLocked();
  std::fflush(stderr);
}

void Console::finishProgress() {
  if (!barEnabled_) return;
  std::lock_guard lock(mutex_);
  clearBarLocked();
  barShown_ = false;
  std::fflush(stderr);
}

void Console::clearBarLocked() {
  if (barEnabled_ && barShown_) std::fputs("\r\033[K", stderr);
}

void Console::drawBarLocked() {
  const std::size_t filled = total_ == 0 ? kBarWidth : done_ * kBarWidth / total_;
  std::string bar(kBarWidth, ' ');
  for (std::size_t i = 0; i < filled; ++i) bar[i] = '#';
  std::fprintf(stderr, "\r[%s] %zu/%zu", bar.c_str(), done_, total_);
}

std::string displayName(const std::string& path, bool output) {
  if (path == "-") return output ? "<stdout>" : "<stdin>";
  return path;
}

}  // namespace chaosmix::cli

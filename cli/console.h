#pragma once
// Messages on standard error, one line each, and a progress bar that is drawn only when
// standard error is a terminal. Safe to use from several threads at once.

#include <cstddef>
#include <mutex>
#include <string>

namespace chaosmix::cli {

class Console {
 public:
  // showProgress: draw the bar (only takes effect when standard error is a terminal).
  explicit Console(bool showProgress);
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  // Prints "chaosmix: <subject>: <text>", clearing and redrawing the bar around it.
  void message(const std::string& subject, const std::string& text);
  // Prints "chaosmix: <text>".
  void message(const std::string& text);
  // Redraws the bar for `done` of `total` items.
  void progress(std::size_t done, std::size_t total);
  // Removes the bar.
  void finishProgress();

 private:
  void clearBarLocked();
  void drawBarLocked();

  std::mutex mutex_;
  bool barEnabled_ = false;
  bool barShown_ = false;
  std::size_t done_ = 0;
  std::size_t total_ = 0;
};

// The name under which a path appears in messages ("<stdin>"/"<stdout>" for "-").
std::string displayName(const std::string& path, bool output);

}  // namespace chaosmix::cli

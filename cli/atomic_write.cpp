// Atomic file writes: temporary file, fsync, rename.

#include "cli/atomic_write.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace chaosmix::cli {

namespace {

std::string systemError(const char* what, int error) {
  return std::string(what) + ": " + std::strerror(error);
}

// The process's file mode mask, read once: umask() can only be read by setting it, and it is
// set back at once, before any file is created with it.
mode_t processUmask() {
  static const mode_t mask = [] {
    const mode_t value = ::umask(0077);
    ::umask(value);
    return value;
  }();
  return mask;
}

// Owns a temporary file until it is committed: removes it on every other path.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::filesystem::path& target) {
    const std::filesystem::path directory =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    name_ = (directory / ("." + target.filename().string() + ".chaosmix-XXXXXX")).string();
    descriptor_ = ::mkstemp(name_.data());
    if (descriptor_ < 0) throw WriteError(systemError("cannot create a temporary file", errno));
  }
  ~TemporaryFile() {
    if (descriptor_ >= 0) ::close(descriptor_);
    if (!committed_) ::unlink(name_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  void write(std::span<const std::uint8_t> bytes, mode_t mode) {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(descriptor_, bytes.data() + done, bytes.size() - done);
      if (n < 0) {
        if (errno == EINTR) continue;
        throw WriteError(systemError("cannot write", errno));
      }
      done += static_cast<std::size_t>(n);
    }
    if (::fchmod(descriptor_, mode & ~processUmask()) != 0)
      throw WriteError(systemError("cannot set the file's permissions", errno));
    if (::fsync(descriptor_) != 0) throw WriteError(systemError("cannot write", errno));
    if (::close(descriptor_) != 0) {
      descriptor_ = -1;
      throw WriteError(systemError("cannot write", errno));
    }
    descriptor_ = -1;
  }

  void commit(const std::filesystem::path& target, Overwrite overwrite) {
    if (overwrite == Overwrite::replace) {
      if (::rename(name_.c_str(), target.c_str()) != 0)
        throw WriteError(systemError("cannot rename the temporary file", errno));
    } else {
      if (::renameat2(AT_FDCWD, name_.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0) {
        const int error = errno;
        if (error == EEXIST) throw WriteError("the file exists (use --force to replace it)");
        if (error != EINVAL && error != ENOSYS)
          throw WriteError(systemError("cannot rename the temporary file", error));
        // The file system cannot rename without replacing: a hard link never replaces.
        if (::link(name_.c_str(), target.c_str()) != 0) {
          const int linkError = errno;
          if (linkError == EEXIST) throw WriteError("the file exists (use --force to replace it)");
          throw WriteError(systemError("cannot create the file", linkError));
        }
        ::unlink(name_.c_str());
      }
    }
    committed_ = true;
  }

 private:
  std::string name_;
  int descriptor_ = -1;
  bool committed_ = false;
};

void syncDirectory(const std::filesystem::path& target) {
  const std::filesystem::path directory =
      target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
  const int descriptor = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY);
  if (descriptor < 0) return;  // the file is in place; the directory entry reaches disk later
  ::fsync(descriptor);
  ::close(descriptor);
}

}  // namespace

void writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                         Overwrite overwrite, mode_t mode) {
  TemporaryFile temporary(path);
  temporary.write(bytes, mode);
  temporary.commit(path, overwrite);
  syncDirectory(path);
}

void checkOutputAllowed(const std::filesystem::path& output, const std::filesystem::path& input,
                        Overwrite overwrite) {
  std::error_code error;
  const bool exists = std::filesystem::exists(output, error);
  if (!exists) return;
  if (input != "-" && std::filesystem::equivalent(output, input, error))
    throw WriteError("refusing to overwrite the input file");
  if (std::filesystem::is_directory(output, error)) throw WriteError("the output is a directory");
  if (overwrite == Overwrite::refuse)
    throw WriteError("the file exists (use --force to replace it)");
}

void writeStandardOutput(std::span<const std::uint8_t> bytes) {
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size())
    throw WriteError(systemError("cannot write to standard output", errno));
  if (std::fflush(stdout) != 0)
    throw WriteError(systemError("cannot write to standard output", errno));
}

}  // namespace chaosmix::cli

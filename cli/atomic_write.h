#pragma once
// Writing output files so that a reader never sees a partial file: the content goes to a
// temporary file in the same directory, is flushed to the disk, and is then renamed over the
// name. A failed write removes the temporary file and leaves the name as it was.

#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <sys/types.h>

namespace chaosmix::cli {

enum class Overwrite { refuse, replace };

// A refused or failed write; what() gives the reason, without the file name.
struct WriteError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Writes `bytes` to `path` atomically with the permission bits `mode` (reduced by the umask).
// With Overwrite::refuse an existing file is never replaced, even one that appears while the
// content is written.
void writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                         Overwrite overwrite, mode_t mode = 0666);

// Throws WriteError when writing `output` is not allowed: when it is the input file itself
// (always refused) or, with Overwrite::refuse, when it exists.
void checkOutputAllowed(const std::filesystem::path& output, const std::filesystem::path& input,
                        Overwrite overwrite);

// Writes `bytes` to standard output. Throws WriteError when the write fails.
void writeStandardOutput(std::span<const std::uint8_t> bytes);

}  // namespace chaosmix::cli

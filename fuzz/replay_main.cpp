// Replays fuzz inputs without libFuzzer: every file named on the command line, and every file
// in every directory named, goes once through LLVMFuzzerTestOneInput. The unit tests use it to
// run each target's seed corpus and its regression inputs in every build, sanitizers or not.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

#include <sys/resource.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

// The same bound as the fuzzing runs: no input may make a target take gigabytes. Under
// AddressSanitizer (which reserves terabytes of address space) the test sets
// max_allocation_size_mb instead.
void limitAddressSpace() {
  if (kAddressSanitizer) return;
  const rlim_t limit = rlim_t{4} << 30;
  const rlimit r{limit, limit};
  setrlimit(RLIMIT_AS, &r);
}

void replay(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
  std::cout << "replaying " << file.string() << " (" << bytes.size() << " bytes)\n";
  // Copied into a buffer of exactly its size, so that any read past the end is caught.
  std::vector<std::uint8_t> exact(bytes.begin(), bytes.end());
  LLVMFuzzerTestOneInput(exact.data(), exact.size());
}

}  // namespace

int main(int argc, char** argv) {
  limitAddressSpace();
  if (LLVMFuzzerInitialize != nullptr) LLVMFuzzerInitialize(&argc, &argv);
  std::size_t count = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path path(argv[i]);
    if (std::filesystem::is_directory(path)) {
      std::vector<std::filesystem::path> files;
      for (const auto& entry : std::filesystem::directory_iterator(path))
        if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
          files.push_back(entry.path());
      std::sort(files.begin(), files.end());
      for (const auto& f : files) {
        replay(f);
        ++count;
      }
    } else {
      replay(path);
      ++count;
    }
  }
  std::cout << count << " inputs replayed\n";
  return count > 0 ? 0 : 1;
}

// Runs the library on raw octets, for comparing the Octave deliverables with the library.
//
//   library_cipher <cube|fold> <encrypt|decrypt> ROWS COLUMNS PLANES ROUNDS K0,K1,...,K15 IN OUT
//
// IN holds ROWS x COLUMNS x PLANES octets in the host's layout (column-major, plane after
// plane); OUT receives the result in the same layout.

#include <chaosmix/cube.h>
#include <chaosmix/fold.h>

#include <cstdlib>
#include <exception>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

chaosmix::CipherKey parseKey(const std::string& text) {
  chaosmix::CipherKey key{};
  std::istringstream in(text);
  std::string item;
  std::size_t i = 0;
  while (std::getline(in, item, ',')) {
    if (i == key.size()) throw std::invalid_argument("more than 16 key octets");
    key[i++] = static_cast<std::uint8_t>(std::stoi(item));
  }
  if (i != key.size()) throw std::invalid_argument("fewer than 16 key octets");
  return key;
}

std::vector<std::uint8_t> readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 10) {
    std::cerr << "usage: library_cipher <cube|fold> <encrypt|decrypt> ROWS COLUMNS PLANES ROUNDS "
                 "KEY IN OUT\n";
    return 2;
  }
  try {
    const std::string cipher = argv[1];
    const bool encrypt = std::string(argv[2]) == "encrypt";
    const std::size_t rows = std::stoul(argv[3]);
    const std::size_t columns = std::stoul(argv[4]);
    const std::size_t planes = std::stoul(argv[5]);
    const auto rounds = static_cast<std::int32_t>(std::stol(argv[6]));
    const chaosmix::CipherKey key = parseKey(argv[7]);
    const std::vector<std::uint8_t> image = readAll(argv[8]);
    std::vector<std::uint8_t> result;
    if (cipher == "cube") {
      result = encrypt ? chaosmix::cubeEncrypt(image, rows, columns, rounds, key)
                       : chaosmix::cubeDecrypt(image, rows, columns, rounds, key);
    } else {
      const auto kind = planes == 1 ? chaosmix::CellKind::gray : chaosmix::CellKind::colour;
      result = encrypt ? chaosmix::foldEncrypt(image, rows, columns, kind, rounds, key)
                       : chaosmix::foldDecrypt(image, rows, columns, kind, rounds, key);
    }
    std::ofstream out(argv[9], std::ios::binary);
    out.write(reinterpret_cast<const char*>(result.data()),
              static_cast<std::streamsize>(result.size()));
    if (!out) throw std::runtime_error(std::string("cannot write ") + argv[9]);
  } catch (const std::exception& e) {
    std::cerr << "library_cipher: " << e.what() << "\n";
    return 1;
  }
  return 0;
}

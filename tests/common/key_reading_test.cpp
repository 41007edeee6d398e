#include "common/key_reading.h"

#include <gtest/gtest.h>

#include <vector>

namespace chaosmix {
namespace {

// A column-major matrix whose element (i, j) holds 10 * i + j, so the expected octet order is
// easy to read.
std::vector<double> matrix(std::size_t rows, std::size_t cols) {
  std::vector<double> m(rows * cols);
  for (std::size_t i = 0; i < rows; ++i)
    for (std::size_t j = 0; j < cols; ++j) m[i + rows * j] = static_cast<double>(10 * i + j);
  return m;
}

TEST(KeyReading, ReadsRowByRow) {
  struct Case {
    std::size_t rows, cols;
  };
  for (const Case c : {Case{1, 16}, Case{16, 1}, Case{4, 4}, Case{2, 8}, Case{8, 2}}) {
    SCOPED_TRACE(testing::Message() << c.rows << " x " << c.cols);
    const auto m = matrix(c.rows, c.cols);
    const CipherKey key = readKeyRowByRow(m.data(), c.rows, c.cols);
    for (std::size_t i = 0; i < c.rows; ++i)
      for (std::size_t j = 0; j < c.cols; ++j)
        EXPECT_EQ(key[i * c.cols + j], 10 * i + j) << "element (" << i << ", " << j << ")";
  }
}

TEST(KeyReading, ReducesElementsToTheirLowOctet) {
  std::vector<double> v(16, 0.0);
  v[0] = 300;
  v[1] = -1;
  v[2] = 3.7;
  v[3] = std::numeric_limits<double>::quiet_NaN();
  const CipherKey key = readKeyRowByRow(v.data(), 1, 16);
  EXPECT_EQ(key[0], 44);
  EXPECT_EQ(key[1], 255);
  EXPECT_EQ(key[2], 3);
  EXPECT_EQ(key[3], 0);
}

}  // namespace
}  // namespace chaosmix

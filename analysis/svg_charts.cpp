#include "analysis/svg_charts.h"

#include "analysis/seeded_draw.h"

#include <algorithm>
#include <cstdio>

namespace chaosmix::analysis {

std::string escapeMarkup(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// 256 one-unit bars scaled to the tallest, 0 at the left, over a light frame.
std::string histogramSvg(const Histogram& h, const std::string& colour, const std::string& title) {
  const std::uint64_t tallest = std::max<std::uint64_t>(1, *std::max_element(h.begin(), h.end()));
  std::string path;
  for (std::size_t v = 0; v < h.size(); ++v) {
    if (h[v] == 0) continue;
    const double height = 100.0 * static_cast<double>(h[v]) / static_cast<double>(tallest);
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "M%zu.5 100V%.2f", v, 100.0 - height);
    path += buffer;
  }
  return "<svg class=\"chart\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 256 100\" "
         "preserveAspectRatio=\"none\" role=\"img\"><title>" +
         escapeMarkup(title) +
         "</title><rect width=\"256\" height=\"100\" fill=\"#fafafa\" stroke=\"#ccc\"/>"
         "<path d=\"" +
         path + "\" stroke=\"" + colour + "\" stroke-width=\"1\"/></svg>";
}

std::string scatterSvg(std::span<const std::uint8_t> plane, std::size_t rows, std::size_t columns,
                       Direction direction, std::uint64_t seed, const std::string& colour,
                       const std::string& title) {
  // The pairs start in the first rowsUsed rows and columnsUsed columns; the neighbour is one
  // step down and/or right.
  const std::size_t down = direction == Direction::horizontal ? 0 : 1;
  const std::size_t right = direction == Direction::vertical ? 0 : 1;
  const std::size_t rowsUsed = rows >= down ? rows - down : 0;
  const std::size_t columnsUsed = columns >= right ? columns - right : 0;
  const std::size_t pairs = rowsUsed * columnsUsed;
  std::string path;
  if (pairs > 0) {
    std::mt19937_64 rng(seed);
    const std::size_t count = std::min(kScatterPoints, pairs);
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t k = static_cast<std::size_t>(drawBelow(rng, pairs));
      const std::size_t r = k % rowsUsed;
      const std::size_t c = k / rowsUsed;
      const unsigned x = plane[r + rows * c];
      const unsigned y = plane[(r + down) + rows * (c + right)];
      path += "M" + std::to_string(x) + " " + std::to_string(255 - y) + "h1";
    }
  }
  return "<svg class=\"chart scatter\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"-1 -1 "
         "258 258\" role=\"img\"><title>" +
         escapeMarkup(title) +
         "</title><rect x=\"-1\" y=\"-1\" width=\"258\" height=\"258\" fill=\"#fafafa\" "
         "stroke=\"#ccc\"/><path d=\"" +
         path + "\" stroke=\"" + colour +
         "\" stroke-width=\"1.6\" stroke-linecap=\"square\" opacity=\"0.7\"/></svg>";
}

}  // namespace chaosmix::analysis

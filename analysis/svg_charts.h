#pragma once
// Inline SVG charts for the HTML report: a histogram of a plane, and a scatter plot of
// adjacent-pixel pairs sampled from it.

#include <chaosmix/analysis.h>

#include <cstdint>
#include <span>
#include <string>

namespace chaosmix::analysis {

enum class Direction { horizontal, vertical, diagonal };

inline constexpr std::size_t kScatterPoints = 1500;

std::string histogramSvg(const Histogram& h, const std::string& colour, const std::string& title);

// Up to kScatterPoints pairs (value, neighbour value) drawn at random (seeded) from all pairs in
// the direction; an empty plot when the plane has no such pair.
std::string scatterSvg(std::span<const std::uint8_t> plane, std::size_t rows, std::size_t columns,
                       Direction direction, std::uint64_t seed, const std::string& colour,
                       const std::string& title);

// Escapes &, <, >, " for HTML and SVG text.
std::string escapeMarkup(const std::string& text);

}  // namespace chaosmix::analysis

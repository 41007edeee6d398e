// The report as one self-contained HTML page: no script, no external file; the images are
// embedded as data URIs and the charts as inline SVG.

#include <chaosmix/analysis.h>

#include "analysis/base64.h"
#include "analysis/rows.h"
#include "analysis/svg_charts.h"
#include "analysis/table_format.h"

#include <sstream>
#include <stdexcept>

namespace chaosmix::analysis {
namespace {

constexpr const char* kStyle = R"(
body { font-family: "DejaVu Sans", Arial, sans-serif; margin: 24px; color: #222; }
h1 { font-size: 22px; } h2 { font-size: 18px; margin-top: 28px; }
dl.facts { display: grid; grid-template-columns: max-content auto; gap: 2px 16px; }
dl.facts dt { font-weight: bold; } dl.facts dd { margin: 0; }
.images, .charts { display: flex; flex-wrap: wrap; gap: 16px; }
figure { margin: 0; } figcaption { font-size: 13px; color: #555; text-align: center; }
figure img { width: 256px; height: auto; image-rendering: pixelated; border: 1px solid #ccc; }
svg.chart { width: 256px; height: 110px; display: block; }
svg.scatter { width: 180px; height: 180px; }
table { border-collapse: collapse; font-size: 13px; }
th, td { border: 1px solid #ccc; padding: 3px 8px; text-align: left; }
th { background: #eee; } td.num { text-align: right; font-variant-numeric: tabular-nums; }
td.num, td.result, td:first-child { white-space: nowrap; }
tr.pass td.result { color: #176b1e; font-weight: bold; }
tr.fail td.result { color: #b00020; font-weight: bold; }
tr.fail { background: #fff0f0; }
p.summary { font-weight: bold; }
)";

const char* planeColour(std::size_t planes, std::size_t p) {
  if (planes != 3) return "#333";
  static constexpr const char* kColours[] = {"#c62828", "#2e7d32", "#1565c0"};
  return kColours[p];
}

void writeImage(std::ostringstream& out, const std::vector<std::uint8_t>& png,
                const std::string& caption) {
  if (png.empty()) return;
  out << "<figure><img alt=\"" << escapeMarkup(caption) << "\" src=\"data:image/png;base64,"
      << base64(png) << "\"><figcaption>" << escapeMarkup(caption) << "</figcaption></figure>\n";
}

void writeChart(std::ostringstream& out, const std::string& svg, const std::string& caption) {
  out << "<figure>" << svg << "<figcaption>" << escapeMarkup(caption)
      << "</figcaption></figure>\n";
}

void writeMetricTable(std::ostringstream& out, const Report& report) {
  out << "<table id=\"metrics\">\n<thead><tr><th>metric</th><th>plane</th><th>value</th>"
         "<th>ideal</th><th>critical (&alpha; = 0.05)</th><th>result</th><th>note</th></tr>"
         "</thead>\n<tbody>\n";
  std::size_t passed = 0, failed = 0;
  for (const MetricRow& row : report.rows) {
    const char* cls = row.verdict == Verdict::pass ? "pass"
                      : row.verdict == Verdict::fail ? "fail" : "info";
    const char* mark = row.verdict == Verdict::pass ? "&#10003; pass"
                       : row.verdict == Verdict::fail ? "&#10007; fail" : "";
    passed += row.verdict == Verdict::pass;
    failed += row.verdict == Verdict::fail;
    out << "<tr class=\"" << cls << "\"><td>" << escapeMarkup(row.metric) << "</td><td>"
        << escapeMarkup(row.plane) << "</td><td class=\"num\">" << escapeMarkup(valueText(row))
        << "</td><td class=\"num\">" << escapeMarkup(idealText(row)) << "</td><td class=\"num\">"
        << escapeMarkup(criterionText(row.criterion, row.decimals)) << "</td><td class=\"result\">"
        << mark << "</td><td>" << escapeMarkup(row.note) << "</td></tr>\n";
  }
  out << "</tbody>\n</table>\n<p class=\"summary\" id=\"summary\">" << passed << " passed, "
      << failed << " failed</p>\n";
}

void writeCriticalValues(std::ostringstream& out, const Report& report) {
  if (report.criticalValues.empty()) return;
  out << "<h2>Critical values</h2>\n<table id=\"critical-values\">\n<thead><tr><th>test</th>"
         "<th>&alpha;</th><th>accepts</th></tr></thead>\n<tbody>\n";
  for (const CriticalValue& v : report.criticalValues)
    out << "<tr><td>" << escapeMarkup(v.test) << "</td><td class=\"num\">"
        << formatNumber(v.alpha, 3) << "</td><td class=\"num\">"
        << escapeMarkup(criterionText(v.criterion, v.decimals)) << "</td></tr>\n";
  out << "</tbody>\n</table>\n";
}

}  // namespace

std::string renderHtml(const Report& report, const ImageView& plain, const ImageView& cipher,
                       const EncodedImages& images, std::uint64_t seed) {
  if (plain.rows != cipher.rows || plain.columns != cipher.columns ||
      plain.planes != cipher.planes)
    throw std::invalid_argument("the plain and cipher images differ in shape");
  std::ostringstream out;
  out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>chaosmix "
         "analysis: "
      << escapeMarkup(report.title) << "</title>\n<style>" << kStyle << "</style>\n</head>\n<body>\n"
      << "<h1>chaosmix analysis: " << escapeMarkup(report.title) << "</h1>\n<dl class=\"facts\">\n";
  for (const auto& [name, value] : report.facts)
    out << "<dt>" << escapeMarkup(name) << "</dt><dd>" << escapeMarkup(value) << "</dd>\n";
  out << "</dl>\n<h2>Images</h2>\n<div class=\"images\">\n";
  writeImage(out, images.plainPng, "plain image");
  writeImage(out, images.cipherPng, "cipher image");
  writeImage(out, images.decryptedPng, "decrypted image");
  out << "</div>\n<h2>Results</h2>\n";
  writeMetricTable(out, report);

  out << "<h2>Histograms</h2>\n<div class=\"charts\">\n";
  for (std::size_t p = 0; p < plain.planes; ++p) {
    const std::string label = planeLabel(plain.planes, p);
    writeChart(out, histogramSvg(histogram(plain.plane(p)), planeColour(plain.planes, p),
                                 "histogram of the plain image, " + label),
               "plain, " + label);
    writeChart(out, histogramSvg(histogram(cipher.plane(p)), planeColour(plain.planes, p),
                                 "histogram of the cipher image, " + label),
               "cipher, " + label);
  }
  out << "</div>\n<h2>Adjacent pixels</h2>\n";
  const struct {
    Direction direction;
    const char* name;
  } directions[] = {{Direction::horizontal, "horizontal"},
                    {Direction::vertical, "vertical"},
                    {Direction::diagonal, "diagonal"}};
  for (std::size_t p = 0; p < plain.planes; ++p) {
    const std::string label = planeLabel(plain.planes, p);
    out << "<div class=\"charts\">\n";
    for (const ImageView* image : {&plain, &cipher}) {
      const std::string which = image == &plain ? "plain" : "cipher";
      for (const auto& d : directions)
        writeChart(out,
                   scatterSvg(image->plane(p), image->rows, image->columns, d.direction, seed,
                              planeColour(plain.planes, p),
                              which + " image, " + d.name + " neighbours, " + label),
                   which + ", " + d.name + ", " + label);
    }
    out << "</div>\n";
  }
  writeCriticalValues(out, report);
  out << "</body>\n</html>\n";
  return out.str();
}

}  // namespace chaosmix::analysis

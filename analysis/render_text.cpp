// The report as plain text: the facts, the result table and the table of critical values,
// columns padded to their widest entry.

#include <chaosmix/analysis.h>

#include "analysis/table_format.h"

#include <algorithm>
#include <sstream>

namespace chaosmix::analysis {
namespace {

using Line = std::vector<std::string>;

// Display width in characters (UTF-8 continuation octets do not count).
std::size_t displayWidth(const std::string& s) {
  return static_cast<std::size_t>(
      std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

void writeTable(std::ostringstream& out, const std::vector<Line>& lines) {
  std::vector<std::size_t> widths;
  for (const Line& line : lines) {
    widths.resize(std::max(widths.size(), line.size()));
    for (std::size_t i = 0; i < line.size(); ++i)
      widths[i] = std::max(widths[i], displayWidth(line[i]));
  }
  for (std::size_t n = 0; n < lines.size(); ++n) {
    std::string text;
    for (std::size_t i = 0; i < lines[n].size(); ++i) {
      if (i > 0) text += "  ";
      text += lines[n][i];
      if (i + 1 < lines[n].size()) text += std::string(widths[i] - displayWidth(lines[n][i]), ' ');
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    out << text << '\n';
    if (n == 0) {
      std::size_t total = 0;
      for (const std::size_t w : widths) total += w + 2;
      out << std::string(total - 2, '-') << '\n';
    }
  }
}

}  // namespace

std::string renderText(const Report& report) {
  std::ostringstream out;
  out << report.title << "\n\n";
  for (const auto& [name, value] : report.facts) out << "  " << name << ": " << value << '\n';
  out << '\n';

  std::vector<Line> lines = {{"metric", "plane", "value", "ideal", "critical (alpha 0.05)",
                              "result", "note"}};
  for (const MetricRow& row : report.rows)
    lines.push_back({row.metric, row.plane, valueText(row), idealText(row),
                     criterionText(row.criterion, row.decimals), verdictText(row.verdict),
                     row.note});
  writeTable(out, lines);

  std::size_t passed = 0, failed = 0;
  for (const MetricRow& row : report.rows) {
    passed += row.verdict == Verdict::pass;
    failed += row.verdict == Verdict::fail;
  }
  out << '\n' << passed << " passed, " << failed << " failed\n";

  if (!report.criticalValues.empty()) {
    out << "\nCritical values\n\n";
    std::vector<Line> values = {{"test", "alpha", "accepts"}};
    for (const CriticalValue& v : report.criticalValues)
      values.push_back({v.test, formatNumber(v.alpha, 3), criterionText(v.criterion, v.decimals)});
    writeTable(out, values);
  }
  return out.str();
}

}  // namespace chaosmix::analysis

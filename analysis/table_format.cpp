// The table's verdicts and the text forms of its numbers.

#include "analysis/table_format.h"

#include <cmath>
#include <cstdio>

namespace chaosmix::analysis {

Verdict judge(const Criterion& c, double value) {
  if (c.kind == Criterion::Kind::none) return Verdict::info;
  if (std::isnan(value)) return Verdict::fail;
  bool ok = false;
  switch (c.kind) {
    case Criterion::Kind::above: ok = value > c.low; break;
    case Criterion::Kind::below: ok = value < c.low; break;
    case Criterion::Kind::within: ok = value > c.low && value < c.high; break;
    case Criterion::Kind::absBelow: ok = std::fabs(value) < c.low; break;
    case Criterion::Kind::equal: ok = value == c.low; break;
    case Criterion::Kind::none: break;
  }
  return ok ? Verdict::pass : Verdict::fail;
}

std::string formatNumber(double value, int decimals) {
  if (std::isnan(value)) return "n/a";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return buffer;
}

std::string criterionText(const Criterion& c, int decimals) {
  switch (c.kind) {
    case Criterion::Kind::none: return "";
    case Criterion::Kind::above: return "> " + formatNumber(c.low, decimals);
    case Criterion::Kind::below: return "< " + formatNumber(c.low, decimals);
    case Criterion::Kind::within:
      return "(" + formatNumber(c.low, decimals) + ", " + formatNumber(c.high, decimals) + ")";
    case Criterion::Kind::absBelow: return "|x| < " + formatNumber(c.low, decimals);
    case Criterion::Kind::equal: return "= " + formatNumber(c.low, decimals);
  }
  return "";
}

std::string verdictText(Verdict v) {
  switch (v) {
    case Verdict::pass: return "pass";
    case Verdict::fail: return "fail";
    case Verdict::info: return "";
  }
  return "";
}

std::string valueText(const MetricRow& row) {
  std::string text = formatNumber(row.value, row.decimals);
  if (!row.unit.empty() && !std::isnan(row.value)) text += " " + row.unit;
  return text;
}

std::string idealText(const MetricRow& row) {
  return row.hasIdeal ? formatNumber(row.ideal, row.decimals) : "";
}

}  // namespace chaosmix::analysis

// The report as JSON: facts, rows (numbers as numbers, with their text forms) and critical
// values. Non-finite numbers are written as null; the text form keeps "inf" / "n/a".

#include <chaosmix/analysis.h>

#include "analysis/table_format.h"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace chaosmix::analysis {
namespace {

std::string quoted(const std::string& s) {
  std::string out = "\"";
  for (const char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
          out += buffer;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string number(double v) {
  if (!std::isfinite(v)) return "null";
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.17g", v);
  return buffer;
}

const char* kindName(Criterion::Kind k) {
  switch (k) {
    case Criterion::Kind::none: return "none";
    case Criterion::Kind::above: return "above";
    case Criterion::Kind::below: return "below";
    case Criterion::Kind::within: return "within";
    case Criterion::Kind::absBelow: return "absBelow";
    case Criterion::Kind::equal: return "equal";
  }
  return "none";
}

std::string criterionJson(const Criterion& c) {
  std::string out = "{\"kind\": \"" + std::string(kindName(c.kind)) + "\"";
  if (c.kind == Criterion::Kind::within)
    out += ", \"low\": " + number(c.low) + ", \"high\": " + number(c.high);
  else if (c.kind != Criterion::Kind::none)
    out += ", \"bound\": " + number(c.low);
  return out + "}";
}

}  // namespace

std::string renderJson(const Report& report) {
  std::ostringstream out;
  out << "{\n  \"title\": " << quoted(report.title) << ",\n  \"facts\": {";
  for (std::size_t i = 0; i < report.facts.size(); ++i)
    out << (i ? ", " : "") << quoted(report.facts[i].first) << ": "
        << quoted(report.facts[i].second);
  out << "},\n  \"rows\": [";
  for (std::size_t i = 0; i < report.rows.size(); ++i) {
    const MetricRow& r = report.rows[i];
    out << (i ? "," : "") << "\n    {\"metric\": " << quoted(r.metric)
        << ", \"plane\": " << quoted(r.plane) << ", \"value\": " << number(r.value)
        << ", \"text\": " << quoted(valueText(r)) << ", \"unit\": " << quoted(r.unit)
        << ", \"ideal\": " << (r.hasIdeal ? number(r.ideal) : "null")
        << ", \"criterion\": " << criterionJson(r.criterion) << ", \"verdict\": "
        << quoted(r.verdict == Verdict::info ? "info" : verdictText(r.verdict))
        << ", \"note\": " << quoted(r.note) << "}";
  }
  out << "\n  ],\n  \"criticalValues\": [";
  for (std::size_t i = 0; i < report.criticalValues.size(); ++i) {
    const CriticalValue& v = report.criticalValues[i];
    out << (i ? "," : "") << "\n    {\"test\": " << quoted(v.test)
        << ", \"alpha\": " << number(v.alpha) << ", \"criterion\": " << criterionJson(v.criterion)
        << "}";
  }
  out << "\n  ]\n}\n";
  return out.str();
}

}  // namespace chaosmix::analysis

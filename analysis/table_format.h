#pragma once
// How the table's numbers, criteria and verdicts are written, shared by the renderers.

#include <chaosmix/analysis.h>

#include <string>

namespace chaosmix::analysis {

// A number with the given decimals; "n/a" for NaN, "inf" / "-inf" for infinities.
std::string formatNumber(double value, int decimals);

// The criterion as a short formula: "> 99.5893", "< 293.2478", "(33.3730, 33.5541)",
// "|r| < 0.0038", "= 0"; "" for none.
std::string criterionText(const Criterion& c, int decimals);

// "pass", "fail" or "" (info).
std::string verdictText(Verdict v);

// The value with its unit: "99.6094 %", "7.999312 bits".
std::string valueText(const MetricRow& row);
std::string idealText(const MetricRow& row);

}  // namespace chaosmix::analysis

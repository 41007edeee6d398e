#pragma once
// Building the table's rows: plane labels, and the NPCR/UACI rows that the cipher analysis and
// the comparison of two images share.

#include <chaosmix/analysis.h>

#include <string>
#include <vector>

namespace chaosmix::analysis {

inline constexpr double kVerdictAlpha = kSignificanceLevels[0];

// "gray" for one plane, "R", "G", "B" for three, "plane N" otherwise.
std::string planeLabel(std::size_t planes, std::size_t p);

// A row judged against its criterion.
MetricRow makeRow(std::string metric, std::string plane, double value, std::string unit,
                  int decimals, Criterion criterion);

// An info row with no criterion.
MetricRow makeInfoRow(std::string metric, std::string plane, double value, std::string unit,
                      int decimals);

MetricRow withIdeal(MetricRow row, double ideal);
MetricRow withNote(MetricRow row, std::string note);

// NPCR (tested above N*) and, when withUaci, UACI (tested inside U*) of a against b, per plane.
void addDifferenceRows(std::vector<MetricRow>& rows, const std::string& what, const ImageView& a,
                       const ImageView& b, bool withUaci);

// The critical values of the NPCR and UACI tests for planes of `cells` pixels at every level.
void addDifferenceCriticalValues(std::vector<CriticalValue>& values, std::size_t cells);

}  // namespace chaosmix::analysis

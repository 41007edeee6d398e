// The table's row builders shared by the cipher analysis and the comparison of two images.

#include "analysis/rows.h"

#include <utility>

namespace chaosmix::analysis {

std::string planeLabel(std::size_t planes, std::size_t p) {
  if (planes == 1) return "gray";
  if (planes == 3) return std::string(1, "RGB"[p]);
  return "plane " + std::to_string(p + 1);
}

MetricRow makeRow(std::string metric, std::string plane, double value, std::string unit,
                  int decimals, Criterion criterion) {
  MetricRow row;
  row.metric = std::move(metric);
  row.plane = std::move(plane);
  row.value = value;
  row.unit = std::move(unit);
  row.decimals = decimals;
  row.criterion = criterion;
  row.verdict = judge(criterion, value);
  return row;
}

MetricRow makeInfoRow(std::string metric, std::string plane, double value, std::string unit,
                      int decimals) {
  return makeRow(std::move(metric), std::move(plane), value, std::move(unit), decimals, {});
}

MetricRow withIdeal(MetricRow row, double ideal) {
  row.hasIdeal = true;
  row.ideal = ideal;
  return row;
}

MetricRow withNote(MetricRow row, std::string note) {
  row.note = std::move(note);
  return row;
}

void addDifferenceRows(std::vector<MetricRow>& rows, const std::string& what, const ImageView& a,
                       const ImageView& b, bool withUaci) {
  const double npcrBound = npcrCriticalValue(a.cells(), kVerdictAlpha);
  const Interval uaciBounds = uaciCriticalInterval(a.cells(), kVerdictAlpha);
  std::vector<DifferenceRates> rates;
  for (std::size_t p = 0; p < a.planes; ++p) rates.push_back(differenceRates(a.plane(p), b.plane(p)));
  for (std::size_t p = 0; p < a.planes; ++p)
    rows.push_back(withIdeal(makeRow("NPCR, " + what, planeLabel(a.planes, p), rates[p].npcr, "%",
                                     4, {Criterion::Kind::above, npcrBound, 0}),
                             kNpcrExpected));
  if (!withUaci) return;
  for (std::size_t p = 0; p < a.planes; ++p)
    rows.push_back(withIdeal(makeRow("UACI, " + what, planeLabel(a.planes, p), rates[p].uaci, "%",
                                     4, {Criterion::Kind::within, uaciBounds.low, uaciBounds.high}),
                             kUaciExpected));
}

void addDifferenceCriticalValues(std::vector<CriticalValue>& values, std::size_t cells) {
  const std::string size = std::to_string(cells) + " pixels";
  for (const double alpha : kSignificanceLevels)
    values.push_back({"NPCR N*, " + size, alpha,
                      {Criterion::Kind::above, npcrCriticalValue(cells, alpha), 0}, 4});
  for (const double alpha : kSignificanceLevels) {
    const Interval u = uaciCriticalInterval(cells, alpha);
    values.push_back({"UACI U*, " + size, alpha, {Criterion::Kind::within, u.low, u.high}, 4});
  }
}

}  // namespace chaosmix::analysis

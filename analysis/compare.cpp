// Compares two images of the same shape: NPCR and UACI with their randomness tests, PSNR.

#include <chaosmix/analysis.h>

#include "analysis/rows.h"

#include <stdexcept>

namespace chaosmix::analysis {

Report compareImages(const ImageView& a, const ImageView& b) {
  if (a.rows != b.rows || a.columns != b.columns || a.planes != b.planes)
    throw std::invalid_argument("the images differ in shape: " + std::to_string(a.rows) + " x " +
                                std::to_string(a.columns) + " x " + std::to_string(a.planes) +
                                " and " + std::to_string(b.rows) + " x " +
                                std::to_string(b.columns) + " x " + std::to_string(b.planes));
  if (a.cells() == 0) throw std::invalid_argument("the images are empty");
  if (a.octets.size() != a.cells() * a.planes || b.octets.size() != b.cells() * b.planes)
    throw std::invalid_argument("the images' octet counts do not match their shapes");
  Report report;
  report.title = "Comparison of two images";
  report.facts = {{"image", std::to_string(a.rows) + " rows x " + std::to_string(a.columns) +
                                " columns, " +
                                (a.planes == 1   ? std::string("gray")
                                 : a.planes == 3 ? std::string("RGB")
                                                 : std::to_string(a.planes) + " planes")},
                  {"significance level of the verdicts", "0.05"}};
  addDifferenceRows(report.rows, "A against B", a, b, true);
  for (std::size_t p = 0; p < a.planes; ++p)
    report.rows.push_back(
        makeInfoRow("PSNR", planeLabel(a.planes, p), psnr(a.plane(p), b.plane(p)), "dB", 2));
  if (a.planes > 1)
    report.rows.push_back(makeInfoRow("PSNR", "all", psnr(a.octets, b.octets), "dB", 2));
  report.rows.push_back(makeInfoRow("Octets that differ", "", double(differingOctets(a.octets,
                                                                                   b.octets)),
                                    "", 0));
  addDifferenceCriticalValues(report.criticalValues, a.cells());
  return report;
}

}  // namespace chaosmix::analysis

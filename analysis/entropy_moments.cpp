// Exact moments of the Shannon entropy of T independent uniform octets.
//
// With L = 256 levels and the counts n_1..n_L multinomial(T, 1/L), the entropy is
// H = sum_i f(n_i), f(n) = -(n/T) log2(n/T). Each count is binomial(T, 1/L) and each pair of
// counts trinomial, so E[H] = L E[f(n)] and
// Var[H] = L Var[f(n)] + L (L - 1) Cov[f(n_i), f(n_j)],
// both sums evaluated exactly over the counts that carry any probability (terms below e^-100
// of the largest are dropped), in extended precision and centred on E[f] to avoid cancellation.

#include <chaosmix/analysis.h>

#include <cmath>
#include <stdexcept>
#include <vector>

namespace chaosmix::analysis {
namespace {

constexpr int kLevels = 256;
constexpr long double kNegligibleLog = 100.0L;

struct CountRange {
  std::size_t low = 0;
  std::size_t high = 0;
};

long double logFactorial(std::size_t n) { return std::lgamma(static_cast<long double>(n) + 1); }

long double logBinomialPmf(std::size_t n, std::size_t total, long double logP, long double logQ) {
  return logFactorial(total) - logFactorial(n) - logFactorial(total - n) +
         static_cast<long double>(n) * logP + static_cast<long double>(total - n) * logQ;
}

// The counts whose binomial probability is within e^-100 of the mode's.
CountRange significantCounts(std::size_t total, long double logP, long double logQ) {
  const std::size_t mode = total / kLevels;
  const long double peak = logBinomialPmf(mode, total, logP, logQ);
  CountRange r{mode, mode};
  while (r.low > 0 && logBinomialPmf(r.low - 1, total, logP, logQ) > peak - kNegligibleLog) --r.low;
  while (r.high < total && logBinomialPmf(r.high + 1, total, logP, logQ) > peak - kNegligibleLog)
    ++r.high;
  return r;
}

}  // namespace

EntropyMoments sampleEntropyMoments(std::size_t pixels) {
  if (pixels == 0) throw std::invalid_argument("no pixel to take the entropy of");
  const std::size_t T = pixels;
  const long double p = 1.0L / kLevels;
  const long double logP = std::log(p);
  const long double logQ = std::log1p(-p);
  const long double logQ2 = std::log1p(-2 * p);
  const long double logTotal = logFactorial(T);
  const CountRange range = significantCounts(T, logP, logQ);
  const std::size_t width = range.high - range.low + 1;

  // f(n), the binomial probabilities and log n! over the range.
  std::vector<long double> f(width), pmf(width), logFact(width);
  for (std::size_t i = 0; i < width; ++i) {
    const std::size_t n = range.low + i;
    const long double share = static_cast<long double>(n) / static_cast<long double>(T);
    f[i] = n == 0 ? 0.0L : -share * std::log2(share);
    pmf[i] = std::exp(logBinomialPmf(n, T, logP, logQ));
    logFact[i] = logFactorial(n);
  }
  long double meanF = 0;
  for (std::size_t i = 0; i < width; ++i) meanF += pmf[i] * f[i];
  std::vector<long double> g(width);
  long double varF = 0;
  for (std::size_t i = 0; i < width; ++i) {
    g[i] = f[i] - meanF;
    varF += pmf[i] * g[i] * g[i];
  }

  // Cov[f(n_i), f(n_j)] = E[g(a) g(b)] over the trinomial (a, b, T - a - b); log (T-a-b)! is
  // tabulated over the sums a + b that occur.
  const std::size_t sumLow = 2 * range.low;
  std::vector<long double> logFactRest(2 * width - 1);
  for (std::size_t s = 0; s < logFactRest.size(); ++s)
    logFactRest[s] = sumLow + s <= T ? logFactorial(T - (sumLow + s)) : 0.0L;
  long double cov = 0;
  for (std::size_t i = 0; i < width; ++i) {
    long double row = 0;
    for (std::size_t j = 0; j < width; ++j) {
      const std::size_t a = range.low + i;
      const std::size_t b = range.low + j;
      if (a + b > T) break;
      const long double logPmf = logTotal - logFact[i] - logFact[j] - logFactRest[i + j] +
                                 static_cast<long double>(a + b) * logP +
                                 static_cast<long double>(T - a - b) * logQ2;
      row += std::exp(logPmf) * g[j];
    }
    cov += row * g[i];
  }

  const long double L = kLevels;
  EntropyMoments m;
  m.mean = static_cast<double>(L * meanF);
  m.variance = static_cast<double>(L * varF + L * (L - 1) * cov);
  return m;
}

}  // namespace chaosmix::analysis

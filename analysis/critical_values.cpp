// Critical values of the tests: the inverse normal distribution function, the chi-square
// quantile, and the NPCR/UACI and correlation bounds from their closed forms.

#include <chaosmix/analysis.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>

namespace chaosmix::analysis {
namespace {

void requireProbability(double p, const char* what) {
  if (!(p > 0.0 && p < 1.0)) throw std::invalid_argument(std::string(what) + " must lie in (0, 1)");
}

// Acklam's rational approximation (relative error below 1.2e-9), the starting point that one
// Halley step on the exact distribution function (through erfc) then refines to full precision.
double acklam(double p) {
  constexpr double a[] = {-3.969683028665376e+01, 2.209460984245205e+02, -2.759285104469687e+02,
                          1.383577518672690e+02,  -3.066479806614716e+01, 2.506628277459239e+00};
  constexpr double b[] = {-5.447609879822406e+01, 1.615858368580409e+02, -1.556989798598866e+02,
                          6.680131188771972e+01,  -1.328068155288572e+01};
  constexpr double c[] = {-7.784894002430293e-03, -3.223964580411365e-01, -2.400758277161838e+00,
                          -2.549732539343734e+00, 4.374664141464968e+00,  2.938163982698783e+00};
  constexpr double d[] = {7.784695709041462e-03, 3.224671290700398e-01, 2.445134137142996e+00,
                          3.754408661907416e+00};
  constexpr double pLow = 0.02425;
  if (p < pLow) {
    const double q = std::sqrt(-2 * std::log(p));
    return (((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
           ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
  }
  if (p > 1 - pLow) {
    const double q = std::sqrt(-2 * std::log1p(-p));
    return -(((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
           ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
  }
  const double q = p - 0.5;
  const double r = q * q;
  return (((((a[0] * r + a[1]) * r + a[2]) * r + a[3]) * r + a[4]) * r + a[5]) * q /
         (((((b[0] * r + b[1]) * r + b[2]) * r + b[3]) * r + b[4]) * r + 1);
}

// Series of the lower regularized gamma function, for x < a + 1.
double gammaPSeries(double a, double x) {
  double term = 1.0 / a;
  double sum = term;
  for (int n = 1; n < 10000; ++n) {
    term *= x / (a + n);
    sum += term;
    if (std::fabs(term) < std::fabs(sum) * 1e-17) break;
  }
  return sum * std::exp(-x + a * std::log(x) - std::lgamma(a));
}

// Continued fraction of the upper regularized gamma function (modified Lentz), for x >= a + 1.
double gammaQFraction(double a, double x) {
  constexpr double tiny = 1e-300;
  double b = x + 1 - a;
  double c = 1 / tiny;
  double d = 1 / b;
  double h = d;
  for (int i = 1; i < 10000; ++i) {
    const double an = -i * (i - a);
    b += 2;
    d = an * d + b;
    if (std::fabs(d) < tiny) d = tiny;
    c = b + an / c;
    if (std::fabs(c) < tiny) c = tiny;
    d = 1 / d;
    const double delta = d * c;
    h *= delta;
    if (std::fabs(delta - 1) < 1e-17) break;
  }
  return std::exp(-x + a * std::log(x) - std::lgamma(a)) * h;
}

// Density of the chi-square distribution.
double chiSquareDensity(double dof, double x) {
  const double k = dof / 2;
  return std::exp((k - 1) * std::log(x) - x / 2 - k * std::numbers::ln2 - std::lgamma(k));
}

}  // namespace

double inverseNormalCdf(double p) {
  requireProbability(p, "the probability");
  // 1 - p is exact for p >= 1/2, so the upper half mirrors the lower, where the refinement
  // measures its error in full precision.
  if (p > 0.5) return -inverseNormalCdf(1 - p);
  double x = acklam(p);
  const double e = 0.5 * std::erfc(-x / std::numbers::sqrt2) - p;
  const double u = e * std::sqrt(2 * std::numbers::pi) * std::exp(x * x / 2);
  x -= u / (1 + x * u / 2);
  return x;
}

double regularizedGammaQ(double a, double x) {
  if (!(a > 0) || !(x >= 0)) throw std::invalid_argument("the gamma function needs a > 0, x >= 0");
  if (x == 0) return 1.0;
  if (x < a + 1) return 1.0 - gammaPSeries(a, x);
  return gammaQFraction(a, x);
}

// Wilson-Hilferty gives the start; Newton steps on Q(dof/2, x/2) = alpha, kept inside a
// bracket that bisection narrows whenever a step leaves it, give the quantile to full precision.
double chiSquareCriticalValue(double dof, double alpha) {
  requireProbability(alpha, "the significance level");
  if (!(dof > 0)) throw std::invalid_argument("the degrees of freedom must be positive");
  const double z = inverseNormalCdf(1 - alpha);
  const double h = 2.0 / (9.0 * dof);
  double x = dof * std::pow(std::max(1 - h + z * std::sqrt(h), 0.01), 3);
  double lo = 0;
  double hi = std::max(2 * x, dof + 100 * std::sqrt(2 * dof) + 100);
  for (int i = 0; i < 200; ++i) {
    const double f = regularizedGammaQ(dof / 2, x / 2) - alpha;  // decreasing in x
    if (f > 0) lo = x; else hi = x;
    double next = x + f / chiSquareDensity(dof, x);
    if (!(next > lo && next < hi)) next = (lo + hi) / 2;
    if (std::fabs(next - x) <= 1e-13 * x) return next;
    x = next;
  }
  return x;
}

Interval entropyAcceptanceInterval(std::size_t blocks, std::size_t blockPixels, double alpha) {
  if (blockPixels == 0) throw std::invalid_argument("no block to test");
  return entropyAcceptanceInterval(sampleEntropyMoments(blockPixels), blocks, alpha);
}

Interval entropyAcceptanceInterval(const EntropyMoments& m, std::size_t blocks, double alpha) {
  requireProbability(alpha, "the significance level");
  if (blocks == 0) throw std::invalid_argument("no block to test");
  const double half = inverseNormalCdf(1 - alpha / 2) * std::sqrt(m.variance / blocks);
  return {m.mean - half, m.mean + half};
}

Interval tabulatedLocalEntropyInterval(std::size_t blocks, std::size_t blockPixels,
                                       double alpha) {
  requireProbability(alpha, "the significance level");
  if (blocks == 0 || blockPixels == 0) throw std::invalid_argument("no block to test");
  const EntropyMoments m = sampleEntropyMoments(blockPixels);
  const double half = inverseNormalCdf(1 - alpha / 2) * std::sqrt(m.variance) / blocks;
  return {m.mean - half, m.mean + half};
}

// The NPCR of two independent uniform images is a mean of Bernoulli(F / (F + 1)) variables,
// F = 255; N* = (F - z(1-alpha) sqrt(F / T)) / (F + 1).
double npcrCriticalValue(std::size_t pixels, double alpha) {
  requireProbability(alpha, "the significance level");
  if (pixels == 0) throw std::invalid_argument("no pixel to test");
  constexpr double F = 255;
  const double z = inverseNormalCdf(1 - alpha);
  return 100 * (F - z * std::sqrt(F / static_cast<double>(pixels))) / (F + 1);
}

// UACI: mean (F + 2) / (3F + 3), variance (F + 2)(F^2 + 2F + 3) / (18 (F + 1)^2 T F).
Interval uaciCriticalInterval(std::size_t pixels, double alpha) {
  requireProbability(alpha, "the significance level");
  if (pixels == 0) throw std::invalid_argument("no pixel to test");
  constexpr double F = 255;
  const double mean = (F + 2) / (3 * F + 3);
  const double variance =
      (F + 2) * (F * F + 2 * F + 3) / (18 * (F + 1) * (F + 1) * static_cast<double>(pixels) * F);
  const double half = inverseNormalCdf(1 - alpha / 2) * std::sqrt(variance);
  return {100 * (mean - half), 100 * (mean + half)};
}

// Under independence r is approximately normal with mean 0 and variance 1 / n.
double correlationCriticalValue(std::size_t pairs, double alpha) {
  requireProbability(alpha, "the significance level");
  if (pairs == 0) return std::numeric_limits<double>::quiet_NaN();
  return inverseNormalCdf(1 - alpha / 2) / std::sqrt(static_cast<double>(pairs));
}

}  // namespace chaosmix::analysis

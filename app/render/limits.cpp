#include "render/limits.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "render/samples.h"

namespace {

// Pixels a percentile or zscale looks at, evenly spread over the frame.
const long SAMPLE = 20000;
const long ZSCALE_SAMPLE = 1000;

// The finite values of every step-th sample.
std::vector<double> finite_values(const unsigned char* s, int format, long n, long step)
{
  std::vector<double> v;
  v.reserve(static_cast<size_t>(n / step + 1));
  const int px = pixel_bytes(format);
  for (long i = 0; i < n; i += step) {
    const double x = sample_value(s + i * px, format);
    if (std::isfinite(x))
      v.push_back(x);
  }
  return v;
}

// Samples in this machine's order read as they lie: a loop the compiler
// can keep in registers, several times quicker than the general one.
template <class T>
void min_max_native(const unsigned char* s, long n, double& lo, double& hi)
{
  T l = std::numeric_limits<T>::has_infinity ? std::numeric_limits<T>::infinity()
                                             : std::numeric_limits<T>::max();
  T h = std::numeric_limits<T>::has_infinity ? -std::numeric_limits<T>::infinity()
                                             : std::numeric_limits<T>::lowest();
  long finite = 0;
  for (long i = 0; i < n; i++) {
    T x;
    memcpy(&x, s + i * static_cast<long>(sizeof x), sizeof x);
    if (std::numeric_limits<T>::has_infinity && !std::isfinite(x))
      continue;
    l = x < l ? x : l;
    h = x > h ? x : h;
    finite++;
  }
  if (finite) {
    lo = static_cast<double>(l);
    hi = static_cast<double>(h);
  }
}

void min_max(const unsigned char* s, int format, long n, double& lo, double& hi)
{
  if (native_order(format)) {
    switch (sample_type(format)) {
      case RAVLON_U8: return min_max_native<uint8_t>(s, n, lo, hi);
      case RAVLON_U16: return min_max_native<uint16_t>(s, n, lo, hi);
      case RAVLON_I16: return min_max_native<int16_t>(s, n, lo, hi);
      case RAVLON_I32: return min_max_native<int32_t>(s, n, lo, hi);
      case RAVLON_F32: return min_max_native<float>(s, n, lo, hi);
      case RAVLON_F64: return min_max_native<double>(s, n, lo, hi);
    }
  }
  const int px = pixel_bytes(format);
  bool any = false;
  for (long i = 0; i < n; i++) {
    const double x = sample_value(s + i * px, format);
    if (!std::isfinite(x))
      continue;
    lo = any ? std::min(lo, x) : x;
    hi = any ? std::max(hi, x) : x;
    any = true;
  }
}

// Linear interpolation between the closest ranks, as numpy's percentile.
double rank(const std::vector<double>& sorted, double p)
{
  const double at = p / 100 * static_cast<double>(sorted.size() - 1);
  const size_t i = static_cast<size_t>(at);
  if (i + 1 >= sorted.size())
    return sorted.back();
  return sorted[i] + (at - static_cast<double>(i)) * (sorted[i + 1] - sorted[i]);
}

void percentile(std::vector<double> v, double p, double& lo, double& hi)
{
  if (v.empty())
    return;
  std::sort(v.begin(), v.end());
  lo = rank(v, 100 - p);
  hi = rank(v, p);
}

// The astronomers' zscale: a line fitted to the sorted sample, outliers
// rejected, its slope divided by the contrast around the median.
void zscale(std::vector<double> v, double& lo, double& hi)
{
  if (v.empty())
    return;
  std::sort(v.begin(), v.end());
  const double contrast = 0.25, krej = 2.5;
  const long n = static_cast<long>(v.size());
  const double median = v[static_cast<size_t>(n / 2)];
  std::vector<bool> keep(v.size(), true);
  double slope = 0, icept = median;
  for (int pass = 0; pass < 5; pass++) {
    double sx = 0, sy = 0, sxx = 0, sxy = 0, k = 0;
    for (long i = 0; i < n; i++)
      if (keep[static_cast<size_t>(i)]) {
        const double x = static_cast<double>(i) - n / 2.0, y = v[static_cast<size_t>(i)];
        sx += x, sy += y, sxx += x * x, sxy += x * y, k++;
      }
    if (k < 5 || sxx * k - sx * sx == 0)
      break;
    slope = (k * sxy - sx * sy) / (k * sxx - sx * sx);
    icept = (sy - slope * sx) / k;
    double ss = 0;
    for (long i = 0; i < n; i++)
      if (keep[static_cast<size_t>(i)]) {
        const double r =
            v[static_cast<size_t>(i)] - (icept + slope * (static_cast<double>(i) - n / 2.0));
        ss += r * r;
      }
    const double sigma = std::sqrt(ss / k);
    for (long i = 0; i < n; i++) {
      const double r =
          v[static_cast<size_t>(i)] - (icept + slope * (static_cast<double>(i) - n / 2.0));
      keep[static_cast<size_t>(i)] = std::fabs(r) <= krej * sigma;
    }
  }
  lo = std::max(v.front(), median - n / 2.0 * slope / contrast);
  hi = std::min(v.back(), median + n / 2.0 * slope / contrast);
}

}  // namespace

void frame_limits(const unsigned char* s, int format, long n, const ViewSettings& v, double& lo,
                  double& hi)
{
  lo = hi = 0;
  if ((v.fixed & (RAVLON_VIEW_VMIN | RAVLON_VIEW_VMAX)) != (RAVLON_VIEW_VMIN | RAVLON_VIEW_VMAX)) {
    if (v.rule == RAVLON_LIMITS_MINMAX)
      min_max(s, format, n, lo, hi);
    else if (v.rule == RAVLON_LIMITS_PERCENT)
      percentile(finite_values(s, format, n, std::max(1L, n / SAMPLE)), v.percent, lo, hi);
    else
      zscale(finite_values(s, format, n, std::max(1L, n / ZSCALE_SAMPLE)), lo, hi);
  }
  if (v.fixed & RAVLON_VIEW_VMIN)
    lo = v.vmin;
  if (v.fixed & RAVLON_VIEW_VMAX)
    hi = v.vmax;
}

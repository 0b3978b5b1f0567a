#include "window/shownsamples.h"

#include <cmath>
#include <new>

#include "render/frame.h"
#include "render/samplefill.h"
#include "render/samples.h"
#include "window/image.h"

namespace {

const unsigned char MAGENTA[3] = {255, 0, 255};

// The colour of one-channel value x as img shows it.
const unsigned char* value_colour(double x, const Image& img, const SampleMap& m)
{
  if (!std::isfinite(x))
    return MAGENTA;
  return img.entry_colour(map_entry(x, m));
}

}  // namespace

int shown_planes(const Frame& f, const Image& img, std::unique_ptr<unsigned char[]> planes[3])
{
  const size_t n = static_cast<size_t>(f.width) * static_cast<size_t>(f.height);
  SampleMap m;
  img.sample_map(m);
  const bool rgb = rgb_format(f.format);
  for (int c = 0; c < 3; c++) {
    planes[c].reset(new (std::nothrow) unsigned char[n]);
    if (!planes[c])
      return -1;
  }
  for (int x = 0; x < f.width; x++)
    for (int y = 0; y < f.height; y++) {
      double v[3] = {0, 0, 0};
      f.value_at(x, y, v);
      const unsigned char* own = value_colour(v[0], img, m);
      const size_t at = static_cast<size_t>(x) * static_cast<size_t>(f.height) + y;
      for (int c = 0; c < 3; c++)
        planes[c][at] = rgb ? static_cast<unsigned char>(v[c]) : own[c];
    }
  return 0;
}

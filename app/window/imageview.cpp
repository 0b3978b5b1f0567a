// How the image shows one-channel frames: the limits the view's rule
// gives, and the colour map's entries as pixels.
#include "render/colourtables.h"
#include "render/limits.h"
#include "window/image.h"

void Image::take_limits()
{
  if (!frame.one_channel())
    return;
  frame_limits(frame.samples(), frame.format, static_cast<long>(frame.width) * frame.height, view,
               limit_lo, limit_hi);
}

void Image::redraw_frame()
{
  if (!view.locked)
    take_limits();
  redraw();
  if (listener)
    listener->view_touched();
}

namespace {

bool same_limits(const ViewSettings& a, const ViewSettings& b)
{
  return a.rule == b.rule && a.percent == b.percent && a.fixed == b.fixed && a.vmin == b.vmin &&
         a.vmax == b.vmax;
}

}  // namespace

void Image::set_view(const ViewSettings& v)
{
  const bool keep = v.locked && same_limits(v, view);
  view = v;
  if (!keep)
    take_limits();
  redraw();
  if (listener) {
    listener->view_changed();
    listener->view_touched();
  }
}

const unsigned char* Image::entry_colour(int e) const
{
  return colour_tables[view.map % COLOUR_MAPS][view.invert ? 255 - e : e];
}

// The map's colours through the same tables as RGB frames; NaN magenta.
void Image::sample_map(SampleMap& m) const
{
  m.lo = limit_lo;
  m.hi = limit_hi;
  m.scale = view.scale;
  for (int i = 0; i < 256; i++) {
    const unsigned char* c = entry_colour(i);
    m.ramp[i] = rgblut[0].v[c[0]] + rgblut[1].v[c[1]] + rgblut[2].v[c[2]];
  }
  m.bad = rgblut[0].v[255] + rgblut[1].v[0] + rgblut[2].v[255];
}

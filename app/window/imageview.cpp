// How the image shows one-channel frames: the limits the view's rule
// gives, and the colour map's entries as pixels.
#include "render/colourtables.h"
#include "render/limits.h"
#include "render/samples.h"
#include "window/image.h"

void Image::take_limits()
{
  if (frame.kind != FRAME_SAMPLES || rgb_format(frame.format))
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

void Image::set_view(const ViewSettings& v)
{
  view = v;
  take_limits();
  redraw();
  if (listener)
    listener->view_touched();
}

// The map's colours through the same tables as RGB frames; NaN magenta.
void Image::sample_map(SampleMap& m) const
{
  m.lo = limit_lo;
  m.hi = limit_hi;
  m.scale = view.scale;
  const unsigned char(*t)[3] = colour_tables[view.map % COLOUR_MAPS];
  for (int i = 0; i < 256; i++) {
    const unsigned char* c = t[view.invert ? 255 - i : i];
    m.ramp[i] = rgblut[0].v[c[0]] + rgblut[1].v[c[1]] + rgblut[2].v[c[2]];
  }
  m.bad = rgblut[0].v[255] + rgblut[1].v[0] + rgblut[2].v[255];
}

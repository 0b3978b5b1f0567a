// The closest colour a full colour map holds.
#include "render/nearcolour.h"

#include <vector>

namespace {

// Maps whose pixels are the cell numbers 0 .. map_entries - 1.
bool cells_are_pixels(const Visual* vis)
{
  return vis && vis->map_entries > 0 && vis->map_entries <= 4096 &&
         (vis->c_class == PseudoColor || vis->c_class == GrayScale || vis->c_class == StaticColor ||
          vis->c_class == StaticGray);
}

long long distance(const XColor& a, const XColor& b)
{
  long long r = a.red - b.red, g = a.green - b.green, bl = a.blue - b.blue;
  return r * r + g * g + bl * bl;
}

}  // namespace

// A full map has no free cell, so every cell read back is one in use. The
// closest one is taken shared when it is read-only, and used as it stands
// when another client owns it.
char alloc_nearest(Display* d, Colormap cmap, Visual* vis, XColor& want)
{
  XColor exact = want;
  if (XAllocColor(d, cmap, &exact)) {
    want.pixel = exact.pixel;
    return 1;
  }
  want.pixel = 0;
  if (!cells_are_pixels(vis))
    return 0;
  std::vector<XColor> cells(static_cast<size_t>(vis->map_entries));
  for (size_t i = 0; i < cells.size(); i++)
    cells[i].pixel = i;
  XQueryColors(d, cmap, cells.data(), vis->map_entries);
  const XColor* best = &cells[0];
  for (const XColor& c : cells)
    if (distance(c, want) < distance(*best, want))
      best = &c;
  XColor near = *best;
  near.flags = DoRed | DoGreen | DoBlue;
  if (XAllocColor(d, cmap, &near)) {
    want.pixel = near.pixel;
    return 1;
  }
  want.pixel = best->pixel;
  return 0;
}

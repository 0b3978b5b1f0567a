// The filling of a client-side image from a typed frame, row by row as it
// arrived: RGB pixels through the visual's tables, one-channel values
// through limits, a scale and a colour map.
#ifndef SAMPLEFILL_H
#define SAMPLEFILL_H

#include <X11/Xlib.h>

#include <vector>

#include "render/fillview.h"

// How one-channel values become pixels.
struct SampleMap {
  double lo;               // the value at the map's first entry
  double hi;               // and at its last
  int scale;               // RAVLON_SCALE_...
  unsigned int ramp[256];  // the pixel of each entry of the map
  unsigned int bad;        // of NaN and the infinities
};

// The colour-map entry of value x: t = (x - lo) / (hi - lo) clipped to
// 0..1, s = the scale of t, entry min(255, floor(256 s)).
int map_entry(double x, const SampleMap& m);

class SampleFill {
public:
  // Fills the whole image, the view, from the frame as v places it;
  // pixels the frame does not reach are black.
  void fill(XImage* img, const unsigned char* samples, int format, const SampleMap& m,
            const PixelLut rgb[3], unsigned int black, const FrameView& v);

private:
  const unsigned int* table_for(int format, const SampleMap& m);

  // The pixel of every value of 8- and 16-bit samples, for the map it was
  // made for.
  std::vector<unsigned int> table;
  int table_format = -1;
  SampleMap table_map = {};
};

#endif

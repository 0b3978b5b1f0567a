// How one-channel frames are shown: the colour map, the scale and the
// limits, as the client's view request or the user's menu choices set
// them.
#ifndef VIEW_H
#define VIEW_H

#include "../../client/ravlon_protocol.h"

struct ViewSettings {
  int map;  // RAVLON_MAP_GRAY...
  bool invert;
  int scale;  // RAVLON_SCALE_...
  int rule;   // RAVLON_LIMITS_...
  double percent;
  int fixed;  // RAVLON_VIEW_VMIN | RAVLON_VIEW_VMAX: those values are vmin, vmax
  double vmin;
  double vmax;
  bool locked;  // the limits in use stay for the frames that follow
};

// Gray, linear, between the frame's smallest and largest value.
inline ViewSettings default_view()
{
  return {RAVLON_MAP_GRAY, false, RAVLON_SCALE_LINEAR, RAVLON_LIMITS_MINMAX, 99.5, 0, 0, 0, false};
}

#endif

// The conversion alone: nanoseconds per pixel to fill a shared-memory image
// of the window's visual from column-major planes, on each kernel path.
#ifndef CONVERT_H
#define CONVERT_H

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "render/framefill.h"

struct ConvertCost {
  double ns_vector;    // per pixel, FILL_VECTOR
  double ns_portable;  // per pixel, FILL_PORTABLE
  bool same;           // both paths gave the same image
};

// Returns -1 after a message on stderr when the image cannot be made.
int convert_cost(Visual* vis, int depth, const XStandardColormap& m, int w, int h, bool rgb,
                 int rounds, ConvertCost& out);

#endif

// Colours from a colour map that may be full: the exact colour when a
// cell can be had, otherwise the closest colour the map holds, as X
// programs do.
#ifndef NEARCOLOUR_H
#define NEARCOLOUR_H

#include <X11/Xlib.h>

// want.pixel = a pixel of want's colour, or of the closest one in cmap
// (a map of visual vis). 1 when a shared cell was allocated for it (to be
// freed), 0 when the closest cell is used without one; pixel 0 when the
// map's cells cannot be read.
char alloc_nearest(Display* d, Colormap cmap, Visual* vis, XColor& want);

#endif

// What ravlon's own handling of typed frames costs at 1920 x 1080, in
// process: the fill of the picture from RGB and one-channel samples, ns a
// pixel, and the limits of each rule, ms a frame. Prints a table; 0, or -1
// after a message on stderr.
#ifndef MAPPING_H
#define MAPPING_H

#include <X11/Xlib.h>
#include <X11/Xutil.h>

int mapping_figures(Visual* vis, int depth, const XStandardColormap& m, bool brief);

#endif

// Pop-up shells (pulldown menus, dialogs) made under a window whose visual
// or colour map is not the screen's default must be created on the same
// visual, depth and colour map, or mapping them raises BadMatch.
#ifndef WPOPUP_H
#define WPOPUP_H

#include <X11/Intrinsic.h>

// Fills a[0..2] with XtNvisual, XtNcolormap and XtNdepth of the nearest
// shell at or above w and returns their count (0 when w has no shell).
Cardinal popup_visual_args(Widget w, Arg* a);

#endif

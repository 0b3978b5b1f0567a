// Visual, depth and colour map that a pop-up shell inherits from its window.
#include "WPopup.h"

#include <X11/Shell.h>
#include <X11/StringDefs.h>

Cardinal popup_visual_args(Widget w, Arg* a) {
  while (w && !XtIsShell(w)) w = XtParent(w);
  if (!w) return 0;
  Visual* vis = nullptr;
  Colormap cmap = 0;
  Cardinal depth = 0;
  XtVaGetValues(w, XtNvisual, &vis, XtNcolormap, &cmap, XtNdepth, &depth, nullptr);
  Cardinal n = 0;
  XtSetArg(a[n], XtNvisual, vis); n++;
  XtSetArg(a[n], XtNcolormap, cmap); n++;
  XtSetArg(a[n], XtNdepth, depth); n++;
  return n;
}

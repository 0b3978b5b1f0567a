// A slider: a Motif scale with a title.
#include "WSld.h"

#include <climits>

#include <Xm/Scale.h>

// Motif needs minimum < maximum: an empty range becomes one step wide.
WSld::WSld(Widget parent, const char* s, int lo, int hi) : WCtl(s)
{
  if (hi <= lo) {
    if (lo == INT_MAX)
      lo = INT_MAX - 1;
    hi = lo + 1;
  }
  XmString xs = XmStringCreateLocalized(ctltxt);
  xtwgt = XtVaCreateManagedWidget(
      "WSld", xmScaleWidgetClass, parent, XmNtitleString, xs, XmNminimum, static_cast<XtArgVal>(lo),
      XmNmaximum, static_cast<XtArgVal>(hi), XmNorientation, static_cast<XtArgVal>(XmHORIZONTAL),
      XmNshowValue, static_cast<XtArgVal>(True), XmNuserData, this, nullptr);
  XmStringFree(xs);
}

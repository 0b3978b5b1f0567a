// A control with a text.
#include "WCtl.h"

#include <cstdio>

#include <Xm/Scale.h>
#include <Xm/Xm.h>

WCtl::WCtl()
{
  ctltxt[0] = '\0';
}

WCtl::WCtl(const char* s)
{
  snprintf(ctltxt, sizeof ctltxt, "%s", s ? s : "");
}

void WCtl::set_value(int) {}

int WCtl::get_value() const
{
  return -1;
}

// Texts longer than 511 characters are cut. A control that shows a label
// shows the new text at once.
void WCtl::set_text(const char* s)
{
  snprintf(ctltxt, sizeof ctltxt, "%s", s ? s : "");
  if (!xtwgt)
    return;
  XmString xs = XmStringCreateLocalized(ctltxt);
  XtVaSetValues(xtwgt, XmIsScale(xtwgt) ? XmNtitleString : XmNlabelString, xs, nullptr);
  XmStringFree(xs);
}

const char* WCtl::get_text() const
{
  return ctltxt;
}

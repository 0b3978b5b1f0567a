// The colour bar: a strip of the map's colours and, under its ends, the
// limits written with 6 significant digits.
#include "window/colourbar.h"

#include <cstdio>
#include <cstring>

#include "render/samplefill.h"
#include "window/image.h"

namespace {

const int STRIP_H = 10;
const int MARGIN = 2;     // between the text and the bar's sides
const int WAIT_MS = 100;  // between two drawings of a stream's bar

// v at the bar's left or right end, w pixels apart.
void draw_value(Window xw, GC gc, const XFontStruct* fs, int w, double v, bool right)
{
  char s[32];
  snprintf(s, sizeof s, "%.6g", v);
  const int n = static_cast<int>(strlen(s));
  const int x = right ? w - MARGIN - XTextWidth(const_cast<XFontStruct*>(fs), s, n) : MARGIN;
  XDrawString(display, xw, gc, x, STRIP_H + 1 + fs->ascent, s, n);
}

}  // namespace

ColourBar::ColourBar(Widget form, const Image& img) : WDrawingArea(form), dirty(false), image(img)
{
  XtUnmanageChild(xtwgt);
  const XtArgVal attach = static_cast<XtArgVal>(XmATTACH_FORM);
  XtVaSetValues(xtwgt, XmNleftAttachment, attach, XmNrightAttachment, attach, XmNbottomAttachment,
                static_cast<XtArgVal>(XmATTACH_WIDGET), XmNheight,
                static_cast<XtArgVal>(COLOUR_BAR_H), XmNresizePolicy,
                static_cast<XtArgVal>(XmRESIZE_NONE), nullptr);
  set_drawframe(0);
  alarm.set_tp_alarm(tp_draw_colourbar, this);
}

void ColourBar::expose()
{
  draw();
}

void ColourBar::touch()
{
  dirty = alarm.is_pending();
  if (dirty)
    return;
  draw();
  alarm.start_in(WAIT_MS);
}

// Column x shows the value a fraction x / (w - 1) of the way from one limit
// to the other, so that the ends are exactly the map's ends; columns of one
// entry are filled together.
void ColourBar::draw()
{
  if (!xwnd || !dagc || !XtIsManaged(xtwgt))
    return;
  SampleMap m;
  image.sample_map(m);
  const int w = get_geom().w;
  const auto entry = [&](int x) {
    const double t = w > 1 ? static_cast<double>(x) / (w - 1) : 0;
    return x < w ? map_entry(m.lo * (1 - t) + m.hi * t, m) : -2;
  };
  int from = 0, e = entry(0);
  for (int x = 1; x <= w; x++) {
    const int next = entry(x);
    if (next == e)
      continue;
    XSetForeground(display, dagc, e < 0 ? m.bad : m.ramp[e]);
    XFillRectangle(display, xwnd, dagc, from, 0, static_cast<unsigned>(x - from), STRIP_H);
    from = x;
    e = next;
  }
  XClearArea(display, xwnd, 0, STRIP_H, 0, 0, False);
  if (font.xfs) {
    XSetForeground(display, dagc, colortbl[0]);
    XSetFont(display, dagc, font.xfs->fid);
    draw_value(xwnd, dagc, font.xfs, w, m.lo, false);
    draw_value(xwnd, dagc, font.xfs, w, m.hi, true);
  }
}

void tp_draw_colourbar(XtPointer usr, XtIntervalId*)
{
  ColourBar* b = static_cast<ColourBar*>(usr);
  if (b->dirty)
    b->touch();
}

// The widget base and the rectangle record.
#include "WWidget.h"

#include "WEtc.h"

char WRect::is_inside(XPoint p) const
{
  return p.x >= x && p.y >= y && p.x < x + w && p.y < y + h;
}

char WRect::operator==(const WRect& o) const
{
  return x == o.x && y == o.y && w == o.w && h == o.h;
}

char WRect::operator!=(const WRect& o) const
{
  return !(*this == o);
}

WWidget::WWidget() : libid(('Q' << 24) | ('P' << 16) | ('L' << 8) | 'M'), xtwgt(nullptr) {}

WWidget::~WWidget()
{
  if (xtwgt)
    XtDestroyWidget(xtwgt);
}

// Keeps a position beyond the screen's right or bottom edge 20 pixels on
// the screen, and one left of or above it at the edge.
static Position clamp_onscreen(Position v, Position org, Dimension ext)
{
  if (v < 0)
    return 0;
  Position edge = static_cast<Position>(org + ext);
  if (v > edge)
    return static_cast<Position>(edge - 20);
  return v;
}

void WWidget::set_geom(const WRect& g)
{
  Position x = clamp_onscreen(g.x, root_rect.x, root_rect.w);
  Position y = clamp_onscreen(g.y, root_rect.y, root_rect.h);
  // Varargs are read back as XtArgVal: pass them at that width.
  XtVaSetValues(xtwgt, XtNx, static_cast<XtArgVal>(x), XtNy, static_cast<XtArgVal>(y), XtNwidth,
                static_cast<XtArgVal>(g.w), XtNheight, static_cast<XtArgVal>(g.h), nullptr);
}

WRect WWidget::get_geom()
{
  WRect g;
  XtVaGetValues(xtwgt, XtNx, &g.x, XtNy, &g.y, XtNwidth, &g.w, XtNheight, &g.h, nullptr);
  return g;
}

void WWidget::show()
{
  XtManageChild(xtwgt);
}

void WWidget::hide()
{
  XtUnmanageChild(xtwgt);
}

char WWidget::is_shown() const
{
  return xtwgt && XtIsManaged(xtwgt);
}

void WWidget::enable(char on)
{
  XtSetSensitive(xtwgt, on ? True : False);
}

Window WWidget::xwindow() const
{
  return XtWindow(xtwgt);
}

char WWidget::is_enabled() const
{
  return xtwgt && XtIsSensitive(xtwgt);
}

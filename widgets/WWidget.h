// Base of every widget wrapper, and the rectangle that all geometry of the
// layer travels in.
#ifndef WWIDGET_H
#define WWIDGET_H

#include <X11/Intrinsic.h>
#include <X11/Xlib.h>

#include "EList.h"

struct WRect {
  WRect() : x(0), y(0), w(0), h(0) {}
  WRect(short xx, short yy, unsigned short ww, unsigned short hh) : x(xx), y(yy), w(ww), h(hh) {}
  explicit WRect(XRectangle xr) : x(xr.x), y(xr.y), w(xr.width), h(xr.height) {}

  // First column right of, and first row below, the rectangle (modulo 65536).
  unsigned short r() const { return static_cast<unsigned short>(x + w); }
  unsigned short b() const { return static_cast<unsigned short>(y + h); }
  XRectangle operator()() const { return XRectangle{x, y, w, h}; }
  char is_inside(XPoint p) const;
  char operator==(const WRect& o) const;
  char operator!=(const WRect& o) const;

  Position x;
  Position y;
  Dimension w;
  Dimension h;
};

class WWidget : public EDLink {
public:
  WWidget();
  ~WWidget() override;
  WWidget(const WWidget&) = delete;
  WWidget& operator=(const WWidget&) = delete;

  virtual void set_geom(const WRect& g);
  virtual WRect get_geom();
  virtual void show();
  virtual void hide();
  virtual char is_shown() const;

  void enable(char on);
  Window xwindow() const;
  char is_enabled() const;

  unsigned int libid;  // "QPLM", first byte most significant
  Widget xtwgt;
};

#endif

// A Motif drawing area for classes that draw their own contents. The
// graphics context is made at the window's first expose.
#ifndef WDRAWINGAREA_H
#define WDRAWINGAREA_H

#include "WFont.h"
#include "WWidget.h"

class WDrawingArea : public WWidget {
public:
  explicit WDrawingArea(Widget parent);
  ~WDrawingArea() override;

  char is_shown() const override;
  virtual void init();
  virtual void clear();
  virtual void resize();
  virtual void expose() = 0;
  virtual void keyboard(const XKeyEvent* ev);
  virtual void mouse(const XEvent* ev);

  void draw_frame();
  void set_clip(const WRect& r);
  void set_offset(const WRect& r);
  void set_line(GC gc, int w, int ls, int cs, int js);
  void set_dash(GC gc, const char* dl, int n);
  void set_drawframe(char on) { drawframeflg = on; }
  void set_trackkeyboard();
  void set_trackmouse();
  void calc_drawrect();

  WRect or_;  // offset rectangle (or is a C++ keyword)
  int linewdt;
  char drawframeflg;
  Window xwnd;
  GC dagc;
  WFont font;
  WRect dr;
};

void cp_resize_da(Widget w, XtPointer usr, XtPointer call);
void cp_expose_da(Widget w, XtPointer usr, XtPointer call);
void eh_keyboard_da(Widget w, XtPointer usr, XEvent* evt, Boolean* cont);
void eh_mouse_da(Widget w, XtPointer usr, XEvent* evt, Boolean* cont);

#endif

// Include this first: X headers define None, which gtest's own headers
// must see undefined.
//
// The X session of an in-process widget or application test: the
// application shell with the program's fallback resources, the display
// context and an X error counter, made once per process and screen (a
// switch of screen makes a fresh pair) and never destroyed: Motif keeps its
// memory until exit. Each test runs in a private X session
// (tests/xsession); windows a test makes it deletes.
#ifndef XFIXTURE_H
#define XFIXTURE_H

#include "xsupport.h"

#include <string>

#include <X11/Intrinsic.h>

class WAppShell;
class WWidget;

class XFixture : public ::testing::Test {
protected:
  void SetUp() override;
  virtual int screen_number() const { return 0; }

  // Processes X and Xt events (after an XSync) until pred holds or ms
  // milliseconds have passed; true when pred held.
  bool pump_until(const std::function<bool()>& pred, int ms = 5000);
  // Processes events for ms milliseconds.
  void pump(int ms);
  // True once w is mapped and viewable on the screen.
  static bool is_viewable(Window w);
  // The pixel value at (x, y) of a viewable window.
  static unsigned long pixel_at(Window w, int x, int y);
  // Shows w and waits until its top-level window is viewable.
  void show(WWidget* w);
  // Expects the window manager's frame of the viewable top-level w at (x, y).
  void expect_frame_at(Window w, short x, short y);
  // The user's keys and pointer through xdotool; a failure fails the test.
  static void xdo(const std::string& args);
  // A click at (x, y) of a widget, or of a gadget, which draws in its
  // parent; in its middle when x < 0.
  static void click(Widget w, int x = -1, int y = -1);

  WAppShell* shell() const;
};

// The same on screen 1: 1280x1024, depth 8, PseudoColor.
class XFixture8 : public XFixture {
protected:
  int screen_number() const override { return 1; }
};

// Protocol errors since the current test began.
int x_errors();
// Xt and Motif warnings since the current test began, and the last one.
int xt_warnings();
const char* xt_last_warning();

// The text of an XmString resource of w ("" when unset).
std::string xm_text(Widget w, const char* res);

// An Xt callback that counts its calls in the int at usr.
void cp_count(Widget, XtPointer usr, XtPointer);

#endif

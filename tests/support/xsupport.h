// X helpers shared by the in-process tests (tests/widgets/xfixture.h) and
// the end-to-end harness (tests/app/harness.h): the session's display
// names, waiting, windows seen from any connection, and the user's pointer
// through xdotool (XTEST).
//
// Include it before any X header: X defines None, which gtest's headers
// must see undefined.
#ifndef XSUPPORT_H
#define XSUPPORT_H

#include <functional>
#include <string>

#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

// The display of the session with screen scr (":N.scr").
std::string display_name(int scr);

// Calls pred every few milliseconds until it holds or ms have passed.
bool wait_until(const std::function<bool()>& pred, int ms = 20000);

// Runs a shell command inside the test's X session (xdotool, xstdcmap...);
// its exit status.
int run(const std::string& cmd);

bool is_viewable(Display* d, Window w);

// Position on the screen and size of w.
XRectangle geometry(Display* d, Window w);

// The window manager's frame around the top-level window w (w itself
// without a window manager): its outer corner on the screen and its size.
XRectangle frame_geometry(Display* d, Window w);

// Field 1 (functions) or 2 (decorations) of w's _MOTIF_WM_HINTS; -1 when
// w has none.
long motif_hint(Display* d, Window w, int field);

// Screen scr's standard colour map prop (XFree it), nullptr when none is
// allocated; vi, when given, receives the visual it is made for.
XStandardColormap* standard_map(Display* d, int scr, Atom prop, XVisualInfo* vi = nullptr);

// Button 1 clicked at (x, y) of screen scr; xdotool's exit status. Not
// "mousemove --sync": it can stall for seconds after a menu has taken the
// pointer back.
int click_at(int scr, int x, int y);

#endif

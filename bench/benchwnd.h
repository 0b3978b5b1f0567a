// An image window for the benchmark: the application shell, the display
// context and a top-level window on the standard colour map's visual with
// an Image in a form, as ravlon builds it.
#ifndef BENCHWND_H
#define BENCHWND_H

#include <X11/Intrinsic.h>
#include <X11/Xutil.h>

#include "render/frame.h"

class Image;
class WAppShell;
class WContext;
class WWindow;

class BenchWnd {
public:
  BenchWnd();
  ~BenchWnd();
  BenchWnd(const BenchWnd&) = delete;
  BenchWnd& operator=(const BenchWnd&) = delete;

  // Opens the display and shows the image; -1 with a message on stderr.
  int open(int& argc, char** argv);
  // Serves X events until the image has its picture, at most a few seconds.
  int wait_exposed();

  XtAppContext xtctx;
  WAppShell* shell;
  WWindow* wnd;
  Image* image;
  Frame frame;  // what image draws
  XStandardColormap map;
};

#endif

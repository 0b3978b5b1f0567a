#include "benchwnd.h"

#include <X11/Xatom.h>
#include <Xm/Form.h>

#include <chrono>
#include <cstdio>

#include "WContext.h"
#include "WEtc.h"
#include "WShl.h"
#include "window/image.h"
#include "window/imagewnd.h"

BenchWnd::BenchWnd()
    : xtctx(nullptr), shell(nullptr), wnd(nullptr), image(nullptr), frame(256, 256), map()
{
}

// The display stays open until the process ends, as in ravlon.
BenchWnd::~BenchWnd()
{
  delete image;
  delete wnd;
}

int BenchWnd::open(int& argc, char** argv)
{
  static char* fallback[] = {nullptr};
  shell = new WAppShell("render_bench", "Render_bench", argc, argv, xtctx, fallback);
  if (!shell->xtwgt) {
    fprintf(stderr, "render_bench: cannot open the display\n");
    return -1;
  }
  context = new WContext(shell, xtctx);
  XStandardColormap* maps = nullptr;
  int n = 0;
  Atom prop = colorpln == 8 ? XA_RGB_DEFAULT_MAP : XA_RGB_BEST_MAP;
  XVisualInfo vt;
  XVisualInfo* vi = nullptr;
  if (XGetRGBColormaps(display, root_wnd, &maps, &n, prop) && n > 0) {
    vt.visualid = maps[0].visualid;
    vi = XGetVisualInfo(display, VisualIDMask, &vt, &n);
  }
  if (!vi) {
    fprintf(stderr, "render_bench: no standard colour map on the screen\n");
    return -1;
  }
  map = maps[0];
  XFree(maps);
  wnd = new WWindow("render_bench", map.colormap, vi->visual, vi->depth);
  XFree(vi);
  Widget form = XtVaCreateManagedWidget("form", xmFormWidgetClass, wnd->xtwgt, nullptr);
  image = new Image(form, &map, frame);
  XtVaSetValues(image->xtwgt, XmNtopAttachment, XmATTACH_FORM, XmNleftAttachment, XmATTACH_FORM,
                XmNbottomAttachment, XmATTACH_FORM, XmNrightAttachment, XmATTACH_FORM, XmNwidth,
                512, XmNheight, 512, XtNbackground, static_cast<XtArgVal>(colortbl[0]), nullptr);
  wnd->show();
  return wait_exposed();
}

int BenchWnd::wait_exposed()
{
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!image->pixmap && std::chrono::steady_clock::now() < end) {
    XSync(display, False);
    while (XtAppPending(xtctx))
      XtAppProcessEvent(xtctx, XtIMAll);
  }
  if (image->pixmap)
    return 0;
  fprintf(stderr, "render_bench: the image window was never exposed\n");
  return -1;
}

// X helpers shared by the in-process and the end-to-end tests.
#include "xsupport.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include <X11/Xatom.h>

std::string display_name(int scr)
{
  const char* d = getenv("DISPLAY");
  std::string base = d ? d : ":0";
  size_t colon = base.rfind(':');
  size_t dot = base.find('.', colon == std::string::npos ? 0 : colon);
  if (dot != std::string::npos)
    base.erase(dot);
  return base + "." + std::to_string(scr);
}

bool wait_until(const std::function<bool()>& pred, int ms)
{
  for (int waited = 0;; waited += 10) {
    if (pred())
      return true;
    if (waited >= ms)
      return false;
    usleep(10000);
  }
}

int run(const std::string& cmd)
{
  int st = system(cmd.c_str());
  return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

bool is_viewable(Display* d, Window w)
{
  XWindowAttributes a;
  return w && XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable;
}

XRectangle geometry(Display* d, Window w)
{
  XWindowAttributes a;
  int x = 0, y = 0;
  Window child = 0;
  if (!XGetWindowAttributes(d, w, &a))
    return XRectangle{0, 0, 0, 0};
  XTranslateCoordinates(d, w, a.root, 0, 0, &x, &y, &child);
  return XRectangle{static_cast<short>(x), static_cast<short>(y),
                    static_cast<unsigned short>(a.width), static_cast<unsigned short>(a.height)};
}

XRectangle frame_geometry(Display* d, Window w)
{
  Window root = 0, parent = 0, *kids = nullptr;
  unsigned int n = 0;
  while (XQueryTree(d, w, &root, &parent, &kids, &n) && parent != root) {
    XFree(kids);
    w = parent;
  }
  XFree(kids);
  XWindowAttributes a;
  if (!XGetWindowAttributes(d, w, &a))
    return XRectangle{0, 0, 0, 0};
  return XRectangle{static_cast<short>(a.x), static_cast<short>(a.y),
                    static_cast<unsigned short>(a.width), static_cast<unsigned short>(a.height)};
}

long motif_hint(Display* d, Window w, int field)
{
  Atom prop = XInternAtom(d, "_MOTIF_WM_HINTS", False), type = 0;
  int format = 0;
  unsigned long n = 0, left = 0;
  unsigned char* data = nullptr;
  XSync(d, False);
  XGetWindowProperty(d, w, prop, 0, 5, False, AnyPropertyType, &type, &format, &n, &left, &data);
  long v = data && n == 5 ? reinterpret_cast<long*>(data)[field] : -1;
  XFree(data);
  return v;
}

XStandardColormap* standard_map(Display* d, int scr, Atom prop, XVisualInfo* vi)
{
  XStandardColormap* maps = nullptr;
  int n = 0;
  if (!XGetRGBColormaps(d, RootWindow(d, scr), &maps, &n, prop))
    return nullptr;
  XVisualInfo tmpl;
  tmpl.visualid = maps[0].visualid;
  XVisualInfo* found = vi ? XGetVisualInfo(d, VisualIDMask, &tmpl, &n) : nullptr;
  if (found) {
    *vi = *found;
    XFree(found);
  } else if (vi) {
    XFree(maps);
    return nullptr;
  }
  return maps;
}

int click_at(int scr, int x, int y)
{
  return run("xdotool mousemove --screen " + std::to_string(scr) + " " + std::to_string(x) + " " +
             std::to_string(y) + " click 1");
}

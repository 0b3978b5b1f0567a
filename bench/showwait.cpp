#include "showwait.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

std::vector<Window> kids(Display* d, Window w)
{
  Window root, parent, *list = nullptr;
  unsigned int n = 0;
  std::vector<Window> k;
  if (XQueryTree(d, w, &root, &parent, &list, &n))
    k.assign(list, list + n);
  if (list)
    XFree(list);
  return k;
}

// The first window below w, w included, for which found holds.
template <class F>
Window find_below(Display* d, Window w, F found)
{
  if (found(w))
    return w;
  for (Window k : kids(d, w))
    if (Window hit = find_below(d, k, found))
      return hit;
  return 0;
}

bool named_ravlon(Display* d, Window w)
{
  char* name = nullptr;
  XWindowAttributes a;
  bool hit = XFetchName(d, w, &name) && name && std::string(name) == "Ravlon" &&
             XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable;
  if (name)
    XFree(name);
  return hit;
}

// The picture (256 pixels wide, below the menu bar) with the title drawn
// over black: more than one pixel value.
bool drawn(Display* d, Window w)
{
  XWindowAttributes a;
  if (!XGetWindowAttributes(d, w, &a) || a.width != 256 || a.height < 256)
    return false;
  XImage* xi = XGetImage(d, w, 0, 0, 256, 256, AllPlanes, ZPixmap);
  bool two = false;
  for (int y = 0; xi && y < 256 && !two; y++)
    for (int x = 0; x < 256 && !two; x++)
      two = XGetPixel(xi, x, y) != XGetPixel(xi, 0, 0);
  if (xi)
    XDestroyImage(xi);
  return two;
}

XWindowAttributes attributes(Display* d, Window w)
{
  XWindowAttributes a = {};
  XGetWindowAttributes(d, w, &a);
  return a;
}

// The form's picture and status line: its children without children of
// their own, centred in it (the history's slider has a window of its own;
// a narrow view stands centred).
std::vector<Window> leaves(Display* d, Window w)
{
  std::vector<Window> out;
  const int fw = attributes(d, w).width;
  for (Window c : kids(d, w)) {
    XWindowAttributes a = attributes(d, c);
    if (kids(d, c).empty() && std::abs(2 * a.x + a.width - fw) <= 1)
      out.push_back(c);
  }
  return out;
}

// The form: two such leaves, one above the other.
bool form(Display* d, Window w)
{
  std::vector<Window> k = leaves(d, w);
  return k.size() == 2 && attributes(d, k[0]).y != attributes(d, k[1]).y;
}

// The form's upper leaf (the picture area) or its lower one (the status
// line) in ravlon's window on d; 0 when there is none.
Window form_child(Display* d, bool upper)
{
  Window top = find_below(d, DefaultRootWindow(d), [&](Window x) { return named_ravlon(d, x); });
  Window f = top ? find_below(d, top, [&](Window x) { return form(d, x); }) : 0;
  if (!f)
    return 0;
  std::vector<Window> k = leaves(d, f);
  const bool first_up = attributes(d, k[0]).y < attributes(d, k[1]).y;
  return k[first_up == upper ? 0 : 1];
}

}  // namespace

int ravlon_view(int& w, int& h)
{
  Display* d = XOpenDisplay(nullptr);
  Window up = d ? form_child(d, true) : 0;
  if (up) {
    XWindowAttributes a = attributes(d, up);
    w = a.width;
    h = a.height;
  }
  if (d)
    XCloseDisplay(d);
  return up ? 0 : -1;
}

Window ravlon_status(Display* d)
{
  return form_child(d, false);
}

int ravlon_keys(const char* keys)
{
  int w0 = 0, h0 = 0, w = 0, h = 0;
  ravlon_view(w0, h0);
  std::string cmd = "xdotool search --onlyvisible --name '^Ravlon$' windowfocus --sync key ";
  if (system((cmd + keys).c_str()) != 0) {
    fprintf(stderr, "render_bench: xdotool cannot press %s\n", keys);
    return -1;
  }
  for (int i = 0; i < 250; i++) {
    if (ravlon_view(w, h) == 0 && w != w0)
      return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  fprintf(stderr, "render_bench: %s did not change ravlon's view\n", keys);
  return -1;
}

Window ravlon_image(Display* d, int w, int h, int ms)
{
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  auto sized = [&](Window c) {
    XWindowAttributes a;
    return XGetWindowAttributes(d, c, &a) && a.width == w && a.height == h &&
           a.map_state == IsViewable;
  };
  Window img = 0;
  while (!img && std::chrono::steady_clock::now() < end) {
    Window top = find_below(d, DefaultRootWindow(d), [&](Window c) { return named_ravlon(d, c); });
    img = top ? find_below(d, top, sized) : 0;
    // The form around the image has its size too: the image is deepest.
    for (Window c = img; c;) {
      img = c;
      c = find_below(d, img, [&](Window k) { return k != img && sized(k); });
    }
    if (!img)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (!img)
    fprintf(stderr, "render_bench: ravlon never showed a %dx%d image window\n", w, h);
  return img;
}

int wait_ravlon_picture(int ms)
{
  Display* d = XOpenDisplay(nullptr);
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  bool shown = false;
  while (d && !shown && std::chrono::steady_clock::now() < end) {
    Window top = find_below(d, DefaultRootWindow(d), [&](Window w) { return named_ravlon(d, w); });
    shown = top && find_below(d, top, [&](Window w) { return drawn(d, w); });
    if (!shown)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (d)
    XCloseDisplay(d);
  if (shown)
    return 0;
  fprintf(stderr, "render_bench: ravlon never showed its picture\n");
  return -1;
}

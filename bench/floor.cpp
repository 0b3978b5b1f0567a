#include "floor.h"

#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <vector>

#include "WEtc.h"
#include "render/framebuf.h"
#include "frameplanes.h"
#include "ravlon_client.h"
#include "stream.h"

namespace {

double ms_since(std::chrono::steady_clock::time_point t0, int rounds)
{
  std::chrono::duration<double, std::milli> dt = std::chrono::steady_clock::now() - t0;
  return dt.count() / rounds;
}

// The receiving process: reads everything of one connection, then ends.
void sink(int ls)
{
  int s = accept(ls, nullptr, nullptr);
  std::vector<char> buf(1 << 20);
  while (s >= 0 && read(s, buf.data(), buf.size()) > 0) {
  }
  _exit(s >= 0 ? 0 : 1);
}

}  // namespace

double put_copy_ms(Visual* vis, int depth, Colormap cmap, int w, int h, int rounds)
{
  FrameBuf fb;
  if (fb.prepare(vis, depth, w, h) == -1)
    return -1;
  XSetWindowAttributes a;
  a.override_redirect = True;
  a.colormap = cmap;
  a.border_pixel = 0;
  Window wnd =
      XCreateWindow(display, root_wnd, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h), 0,
                    depth, InputOutput, vis, CWOverrideRedirect | CWColormap | CWBorderPixel, &a);
  Pixmap pm =
      XCreatePixmap(display, wnd, static_cast<unsigned>(w), static_cast<unsigned>(h), depth);
  GC gc = XCreateGC(display, pm, 0, nullptr);
  XSetGraphicsExposures(display, gc, False);
  XMapRaised(display, wnd);
  XSync(display, False);
  auto frame = [&] {
    fb.prepare(vis, depth, w, h);
    fb.put(pm, gc);
    XCopyArea(display, pm, wnd, gc, 0, 0, w, h, 0, 0);
    XFlush(display);
  };
  frame();
  XSync(display, False);
  auto t0 = std::chrono::steady_clock::now();
  for (int k = 0; k < rounds; k++)
    frame();
  XSync(display, False);
  double ms = ms_since(t0, rounds);
  XFreeGC(display, gc);
  XFreePixmap(display, pm);
  // Gone before ravlon shows its window where this one was.
  XDestroyWindow(display, wnd);
  XSync(display, False);
  return ms;
}

double transfer_ms(int w, int h, bool rgb, int frames)
{
  int port = 0;
  int ls = listen_any(port);
  pid_t pid = ls < 0 ? -1 : fork();
  if (pid == 0)
    sink(ls);
  if (ls >= 0)
    close(ls);
  RavlonClient c;
  if (pid < 0 || connect_nodelay(c, port) == -1) {
    fprintf(stderr, "render_bench: cannot reach the loopback receiver\n");
    if (pid > 0) {
      kill(pid, SIGTERM);
      waitpid(pid, nullptr, 0);
    }
    return -1;
  }
  FramePlanes p(w, h);
  auto t0 = std::chrono::steady_clock::now();
  int res = send_frames(c, p, rgb, frames);
  c.close();
  int status = 0;
  waitpid(pid, &status, 0);
  double ms = ms_since(t0, frames);
  if (res == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0)
    return ms;
  fprintf(stderr, "render_bench: the loopback transfer failed\n");
  return -1;
}

// Frames streamed to the real ravlon over TCP, read back from its window as
// raw pixel values and compared, exactly, with what they must be.
#include "harness.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <functional>
#include <vector>

#include "ravlon_client.h"

namespace {

class RenderE2E : public ::testing::Test {
protected:
  void start(int scr, std::vector<std::string> args = {}) {
    xv = new XView(scr);
    port = free_port();
    args.insert(args.end(), {"-p", std::to_string(port)});
    ASSERT_TRUE(rv.start(args, {"DISPLAY=" + display_name(scr)}));
    wnd = xv->find_window("Ravlon");
    ASSERT_NE(wnd, 0u) << rv.err();
    // Frames that come before the image's first expose are dropped.
    ASSERT_TRUE(picture(256, 256, [](XImage* xi) {
      for (int x = 0; x < 256; x++)
        if (XGetPixel(xi, x, 256 / 3 - 4) != XGetPixel(xi, 0, 0)) return true;
      return false;
    })) << "the start-up picture never showed";
    ASSERT_TRUE(wait_until([&] { return c.connect(host_name().c_str(), port) == 0; }));
  }
  void TearDown() override {
    if (rv.running()) c.disconnect();
    EXPECT_TRUE(rv.wait_exit());
    delete xv;
  }

  // The image's window: the largest window without children under the
  // top-level one (the other leaves are the menu's buttons).
  Window image_window(Window top, XWindowAttributes& best) {
    Window root, parent, *kids = nullptr, found = 0;
    unsigned int n = 0;
    XWindowAttributes a;
    if (!XQueryTree(xv->dpy, top, &root, &parent, &kids, &n)) return 0;
    if (n == 0 && XGetWindowAttributes(xv->dpy, top, &a) && a.width * a.height > best.width * best.height) {
      best = a;
      found = top;
    }
    for (unsigned int i = 0; i < n; i++)
      if (Window w = image_window(kids[i], best)) found = w;
    if (kids) XFree(kids);
    return found;
  }

  // Waits until the image window is at least w x h and its w x h picture
  // passes check; false when that never happens.
  bool picture(int w, int h, const std::function<bool(XImage*)>& check) {
    return wait_until([&] {
      XWindowAttributes a = XWindowAttributes();
      Window img = image_window(wnd, a);
      if (!img || a.width != w || a.height < h || a.map_state != IsViewable) return false;
      XImage* xi = XGetImage(xv->dpy, img, 0, 0, w, h, AllPlanes, ZPixmap);
      bool ok = check(xi);
      XDestroyImage(xi);
      return ok;
    }, 5000);
  }

  // Pixels of the w x h picture that differ from want(x, y) (all of them
  // when the window never takes that size).
  int mismatches(int w, int h, const std::function<unsigned long(int, int)>& want) {
    int bad = w * h;
    picture(w, h, [&](XImage* xi) {
      bad = 0;
      for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) bad += XGetPixel(xi, x, y) != want(x, y);
      return bad == 0;
    });
    return bad;
  }

  // The standard colour map formula, as the ICCCM gives it, rounded in
  // single precision.
  void rgb_frames_follow_standard_map(int scr) {
    start(scr);
    XStandardColormap* m = nullptr;
    int n = 0;
    ASSERT_TRUE(XGetRGBColormaps(xv->dpy, RootWindow(xv->dpy, scr), &m, &n,
                                 scr == 1 ? XA_RGB_DEFAULT_MAP : XA_RGB_BEST_MAP));
    std::vector<unsigned char> r(65536), g(65536), b(65536);
    for (int i = 0; i < 65536; i++) r[i] = i & 255, g[i] = i >> 8, b[i] = static_cast<unsigned char>(i * 7);
    ASSERT_EQ(c.send_rgb(r.data(), g.data(), b.data(), 65536), 0);
    auto level = [](unsigned char v, unsigned long max) {
      return static_cast<unsigned long>(0.5f + v / 255.0f * static_cast<float>(max));
    };
    EXPECT_EQ(mismatches(256, 256, [&](int x, int y) {
      int i = x * 256 + y;
      return m->base_pixel + level(r[i], m->red_max) * m->red_mult + level(g[i], m->green_max) * m->green_mult +
             level(b[i], m->blue_max) * m->blue_mult;
    }), 0);
    XFree(m);
  }

  Ravlon rv;
  XView* xv = nullptr;
  RavlonClient c;
  Window wnd = 0;
  int port = 0;
};

}  // namespace

TEST_F(RenderE2E, RgbFramesOnTheDepth24Screen) { rgb_frames_follow_standard_map(0); }

TEST_F(RenderE2E, RgbFramesOnTheDepth8Screen) { rgb_frames_follow_standard_map(1); }

// Without a colour file the byte is the pixel value. A 320 x 200 frame is
// read column by column (byte x * 200 + y); one 250 bytes short leaves the
// end of the last columns black; bytes past the image are not drawn; a
// resize leaves all black.
TEST_F(RenderE2E, ColourMappedNonSquareShortAndLongFramesThenResize) {
  start(0);
  ASSERT_EQ(c.resize(320, 200), 0);
  std::vector<unsigned char> cvec(320 * 200 + 100);
  for (size_t i = 0; i < cvec.size(); i++) cvec[i] = static_cast<unsigned char>(i % 251 + 1);
  const int short_size = 320 * 200 - 250;
  ASSERT_EQ(c.send_colmap(cvec.data(), short_size), 0);
  EXPECT_EQ(mismatches(320, 200, [&](int x, int y) {
    int i = x * 200 + y;
    return i < short_size ? cvec[i] : 0ul;
  }), 0);
  ASSERT_EQ(c.send_colmap(cvec.data(), static_cast<int>(cvec.size())), 0);
  EXPECT_EQ(mismatches(320, 200, [&](int x, int y) { return static_cast<unsigned long>(cvec[x * 200 + y]); }), 0);
  ASSERT_EQ(c.resize(200, 120), 0);
  EXPECT_EQ(mismatches(200, 120, [](int, int) { return 0ul; }), 0);
}

// The colour file is read at the first colour-mapped frame; one that cannot
// be read ends ravlon then, with its line on stderr.
TEST_F(RenderE2E, UnreadableColourFileEndsAtFirstColourMappedFrame) {
  start(0, {"-c", "/nonexistent/colours"});
  std::vector<unsigned char> cvec(65536);
  c.send_colmap(cvec.data(), 65536);
  ASSERT_TRUE(rv.wait_exit());
  EXPECT_EQ(rv.status(), 1);
  EXPECT_EQ(rv.err(), "ravlon: Cannot read RGB color file /nonexistent/colours.\n");
}

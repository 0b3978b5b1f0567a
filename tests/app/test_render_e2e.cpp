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
    // Frames that come before the image's first expose are dropped: wait
    // for the title.
    ASSERT_TRUE(shows([](XImage* xi) {
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

  // Waits until the 256 x 256 image window's pixels pass check.
  bool shows(const std::function<bool(XImage*)>& check) {
    return wait_until([&] {
      Window img = xv->find_descendant(wnd, 256, 256);
      XImage* xi = img ? XGetImage(xv->dpy, img, 0, 0, 256, 256, AllPlanes, ZPixmap) : nullptr;
      bool ok = xi && check(xi);
      if (xi) XDestroyImage(xi);
      return ok;
    }, 5000);
  }

  // Every pixel follows the standard colour map formula as the ICCCM gives
  // it, rounded in single precision; byte x * 256 + y is pixel (x, y).
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
    int bad = -1;
    shows([&](XImage* xi) {
      bad = 0;
      for (int x = 0; x < 256; x++)
        for (int y = 0, i = x * 256; y < 256; y++, i++)
          bad += XGetPixel(xi, x, y) != m->base_pixel + level(r[i], m->red_max) * m->red_mult +
                                            level(g[i], m->green_max) * m->green_mult +
                                            level(b[i], m->blue_max) * m->blue_mult;
      return bad == 0;
    });
    EXPECT_EQ(bad, 0);
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

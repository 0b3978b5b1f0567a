// Frames streamed to the real ravlon over TCP, read back from its window as
// raw pixel values and compared, exactly, with what they must be.
#include "harness.h"
#include "pixelformula.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <vector>

#include "ravlon_client.h"

namespace {

class RenderE2E : public RavlonTest {
protected:
  // Frames that come before the image's first expose are dropped: start()
  // has waited for the picture.
  void serve(int scr, const std::vector<std::string>& args = {})
  {
    ASSERT_NO_FATAL_FAILURE(start(args, scr));
    ASSERT_TRUE(wait_until([&] { return c.connect(host_name().c_str(), port) == 0; }));
  }
  void TearDown() override
  {
    if (rv.running())
      c.disconnect();
    EXPECT_TRUE(rv.wait_exit());
  }

  // Every pixel of the 256 x 256 image window, read back raw, follows the
  // standard colour map formula; byte x * 256 + y is pixel (x, y).
  void rgb_frames_follow_standard_map(int scr)
  {
    ASSERT_NO_FATAL_FAILURE(serve(scr));
    XStandardColormap* m =
        standard_map(xv->dpy, scr, scr == 1 ? XA_RGB_DEFAULT_MAP : XA_RGB_BEST_MAP);
    ASSERT_NE(m, nullptr);
    std::vector<unsigned char> r(65536), g(65536), b(65536);
    for (int i = 0; i < 65536; i++)
      r[i] = i & 255, g[i] = i >> 8, b[i] = static_cast<unsigned char>(i * 7);
    ASSERT_EQ(c.send_rgb(r.data(), g.data(), b.data(), 65536), 0);
    int bad = -1;
    wait_until(
        [&] {
          XImage* xi = XGetImage(xv->dpy, img, 0, 0, 256, 256, AllPlanes, ZPixmap);
          if (!xi)
            return false;
          bad = 0;
          for (int x = 0; x < 256; x++)
            for (int y = 0, i = x * 256; y < 256; y++, i++)
              bad += XGetPixel(xi, x, y) != standard_pixel(*m, r[i], g[i], b[i]);
          XDestroyImage(xi);
          return bad == 0;
        },
        5000);
    EXPECT_EQ(bad, 0);
    XFree(m);
  }

  RavlonClient c;
};

// The test's own X server outlives ravlon and the view of it.
class RenderE2ETcp : public RenderE2E {
protected:
  void TearDown() override
  {
    RenderE2E::TearDown();
    xv.reset();
  }

  TcpXServer x;
};

}  // namespace

// A display of this machine's own takes the frames through shared memory.
TEST_F(RenderE2E, RgbFramesOnTheDepth24Screen)
{
  rgb_frames_follow_standard_map(0);
  EXPECT_GT(shm_segments(rv.pid), 0);
}

// An X server reached over TCP may be on another machine, where a segment
// id names other memory: frames take the plain path, exactly.
TEST_F(RenderE2ETcp, RgbFramesToATcpDisplayTakeThePlainPath)
{
  ASSERT_TRUE(x.start()) << x.err();
  dpy_name = "127.0.0.1:" + std::to_string(x.num);
  rgb_frames_follow_standard_map(0);
  EXPECT_EQ(shm_segments(rv.pid), 0);
}

TEST_F(RenderE2E, RgbFramesOnTheDepth8Screen)
{
  rgb_frames_follow_standard_map(1);
}

// The colour file is read at the first colour-mapped frame; one that cannot
// be read ends ravlon then, with its line on stderr.
TEST_F(RenderE2E, UnreadableColourFileEndsAtFirstColourMappedFrame)
{
  ASSERT_NO_FATAL_FAILURE(serve(0, {"-c", "/nonexistent/colours"}));
  std::vector<unsigned char> cvec(65536);
  c.send_colmap(cvec.data(), 65536);
  ASSERT_TRUE(rv.wait_exit());
  EXPECT_EQ(rv.status(), 1);
  EXPECT_EQ(rv.err(), "ravlon: Cannot read RGB color file /nonexistent/colours.\n");
}

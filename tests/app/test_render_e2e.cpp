// Frames streamed to the real ravlon over TCP, read back from its window as
// raw pixel values and compared, exactly, with what they must be.
#include "harness.h"
#include "pixelformula.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
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

// The 128 entries of a colour file, one pixel each down the first column
// (byte i is pixel (0, i)), each show their colour: exactly to 8 bits on
// the depth-24 screen; on the 8-plane screen, whose default map the
// standard map has filled, the closest colour the map holds.
TEST_F(RenderE2E, ColourFileEntriesShowTheirColourOrTheClosest)
{
  std::string file = "/tmp/ravlon-e2e-colours-" + std::to_string(getpid());
  std::vector<XColor> want(128);
  std::ofstream f(file);
  for (int i = 0; i < 128; i++) {
    double c[3] = {i / 127.0, (127 - i) / 127.0, (i * 5 % 128) / 127.0};
    unsigned short* to[3] = {&want[i].red, &want[i].green, &want[i].blue};
    for (int k = 0; k < 3; k++) {
      std::string text = std::to_string(c[k]);  // six decimals, as ravlon reads them
      f << text << (k < 2 ? " " : "\n");
      *to[k] = static_cast<unsigned short>(std::stod(text) * 65535.0);
    }
  }
  f.close();
  auto dist = [](const XColor& a, const XColor& b) {
    long long r = a.red - b.red, g = a.green - b.green, bl = a.blue - b.blue;
    return r * r + g * g + bl * bl;
  };
  auto rgb8 = [](const XColor& c) {
    return static_cast<uint32_t>((c.red >> 8) << 16 | (c.green >> 8) << 8 | c.blue >> 8);
  };
  std::vector<unsigned char> cvec(128);
  for (int i = 0; i < 128; i++)
    cvec[i] = static_cast<unsigned char>(i);
  for (int scr : {0, 1}) {
    SCOPED_TRACE(scr);
    ASSERT_NO_FATAL_FAILURE(serve(scr, {"-c", file}));
    ASSERT_EQ(c.send_colmap(cvec.data(), 128), 0);
    Shot s;
    ASSERT_TRUE(wait_until([&] { return (s = xv->grab(img)).at(0, 0) != 0; }));
    // The colours the map can show: on the depth-24 screen whatever is
    // asked for, on the 8-plane one its cells as they are now.
    Colormap cmap = DefaultColormap(xv->dpy, scr);
    std::vector<XColor> cells(scr == 1 ? DefaultVisual(xv->dpy, 1)->map_entries : 0);
    for (size_t p = 0; p < cells.size(); p++)
      cells[p].pixel = p;
    XQueryColors(xv->dpy, cmap, cells.data(), static_cast<int>(cells.size()));
    int far = 0;
    for (int i = 0; i < 128; i++) {
      std::vector<XColor> near = cells;
      if (scr == 0) {
        near = {want[i]};
        XAllocColor(xv->dpy, cmap, &near[0]);  // read-only on TrueColor: the colour it shows
      }
      long long best = dist(near[0], want[i]);
      for (const XColor& cell : near)
        best = std::min(best, dist(cell, want[i]));
      bool closest = false;
      for (const XColor& cell : near)
        closest |= dist(cell, want[i]) == best && rgb8(cell) == s.at(0, i);
      far += !closest;
    }
    EXPECT_EQ(far, 0);
    c.disconnect();
    ASSERT_TRUE(rv.wait_exit());
    c.close();
  }
  unlink(file.c_str());
}

// A colour file that goes away after start-up ends ravlon at the first
// colour-mapped frame, with its line on stderr.
TEST_F(RenderE2E, ColourFileGoneByTheFirstColourMappedFrame)
{
  std::string file = "/tmp/ravlon-e2e-gone-" + std::to_string(getpid());
  std::ofstream(file) << "1 1 1\n";
  ASSERT_NO_FATAL_FAILURE(serve(0, {"-c", file}));
  unlink(file.c_str());
  std::vector<unsigned char> cvec(65536);
  c.send_colmap(cvec.data(), 65536);
  ASSERT_TRUE(rv.wait_exit());
  EXPECT_EQ(rv.status(), 1);
  EXPECT_EQ(rv.err(), "ravlon: Cannot read RGB color file " + file + ".\n");
}

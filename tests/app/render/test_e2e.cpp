// Frames streamed to the real ravlon over TCP, read back from its window as
// raw pixel values and compared, exactly, with what they must be.
#include "harness.h"
#include "testframes.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "ravlon_client.h"

namespace {

// The frames of one run, each at a size of its own, RGB or colour-mapped,
// some bytes short.
struct Sized {
  int w;
  int h;
  bool rgb;
  int missing;
};
const Sized sized_frames[] = {{256, 256, true, 0}, {300, 200, true, 0}, {64, 48, false, 25}};

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
    // The X server lets go of the segments when it has seen ravlon leave.
    EXPECT_TRUE(wait_until([&] { return shm_segments(rv.pid) == 0; }, 5000));
    unsetenv("XENVIRONMENT");
    if (!rsrc.empty())
      unlink(rsrc.c_str());
    xv.reset();  // before a test's own X server ends
  }

  // ravlon keeps its picture in ordinary pixmaps.
  void unshared()
  {
    rsrc = temp_file("ravlon.sharedPixmaps: false\n");
    setenv("XENVIRONMENT", rsrc.c_str(), 1);
  }

  // Each of sized_frames, random, sent at its size: every pixel of the
  // image window, read back raw, is the standard colour map's pixel of
  // the RGB bytes, or the colour-mapped byte itself; byte x * h + y is
  // pixel (x, y). A new size is black until its frame comes, and stays
  // black past the bytes that came. The last one is shown again after the
  // window was covered and uncovered.
  void frames_shown_exactly(int scr)
  {
    XStandardColormap* m =
        standard_map(xv->dpy, scr, scr == 1 ? XA_RGB_DEFAULT_MAP : XA_RGB_BEST_MAP);
    ASSERT_NE(m, nullptr);
    unsigned seed = 7;
    Window shown = 0;
    unsigned long black = 0;
    for (const Sized& s : sized_frames) {
      const TestFrame f(s.w, s.h, 3, seed++);
      const unsigned char *r = f.bytes[0].data(), *g = f.bytes[1].data(), *b = f.bytes[2].data();
      if (f.w != 256 || f.h != 256) {
        ASSERT_EQ(c.resize(f.w, f.h), 0);
        ASSERT_TRUE(wait_until([&] {
          return (shown = xv->find_descendant(wnd, f.w, f.h)) != 0 &&
                 xv->grab(shown).count_not(0x000000, 0, 0, f.w, f.h) == 0;
        }));
        black = raw_pixel(xv->dpy, shown, 0, 0);
      }
      const int n = f.n() - s.missing;
      ASSERT_EQ(s.rgb ? c.send_rgb(r, g, b, n) : c.send_colmap(r, n), 0);
      auto want = [&](int x, int y) {
        const size_t i = f.at(x, y);
        return i >= static_cast<size_t>(n) ? black
               : s.rgb                     ? standard_pixel(*m, r[i], g[i], b[i])
                                           : r[i];
      };
      ASSERT_TRUE(wait_until([&] { return (shown = xv->find_descendant(wnd, f.w, f.h)) != 0; }));
      EXPECT_EQ(settled(shown, f, want), 0) << f.w << "x" << f.h;
      if (&s == &sized_frames[2]) {
        cover(shown);
        EXPECT_EQ(settled(shown, f, want), 0) << "after an expose";
      }
    }
    XFree(m);
  }

  // The pixels of w that differ from want, once they stop changing.
  template <class F>
  int settled(Window w, const TestFrame& f, F want)
  {
    int bad = -1;
    wait_until([&] { return (bad = wrong_pixels(xv->dpy, w, f.w, f.h, want)) == 0; }, 5000);
    return bad;
  }

  // A window of another client over w, mapped and taken away again.
  void cover(Window w)
  {
    XWindowAttributes a;
    XGetWindowAttributes(xv->dpy, w, &a);
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(xv->dpy, w, a.root, 0, 0, &x, &y, &child);
    XSetWindowAttributes sa;
    sa.override_redirect = True;
    sa.background_pixel = WhitePixel(xv->dpy, xv->scr);
    Window over = XCreateWindow(xv->dpy, a.root, x, y, static_cast<unsigned>(a.width),
                                static_cast<unsigned>(a.height), 0, CopyFromParent, InputOutput,
                                CopyFromParent, CWOverrideRedirect | CWBackPixel, &sa);
    XMapRaised(xv->dpy, over);
    XSync(xv->dpy, False);
    XDestroyWindow(xv->dpy, over);
    XSync(xv->dpy, False);
  }

  RavlonClient c;
  std::string rsrc;
  TcpXServer x;  // started by the test that reaches X over TCP
};

// A local display offers shared pixmaps: the picture itself is one of two
// shared segments from the start. Kept off them, ravlon uses shared images,
// made at the first frame.
struct PathCase {
  int scr;
  bool shared;
};

class RenderPaths : public RenderE2E, public ::testing::WithParamInterface<PathCase> {};

std::string path_case_name(const ::testing::TestParamInfo<PathCase>& p)
{
  return std::string(p.param.shared ? "SharedPixmaps" : "Unshared") + "OnScreen" +
         std::to_string(p.param.scr);
}

}  // namespace

TEST_P(RenderPaths, FramesOfChangingSizesShownExactly)
{
  const PathCase& pc = GetParam();
  if (!pc.shared)
    unshared();
  ASSERT_NO_FATAL_FAILURE(serve(pc.scr));
  EXPECT_EQ(shm_segments(rv.pid), pc.shared ? 2 : 0);
  frames_shown_exactly(pc.scr);
  // The segments of earlier sizes are gone; the shared images are there.
  if (pc.shared)
    EXPECT_EQ(shm_segments(rv.pid), 2);
  else
    EXPECT_GT(shm_segments(rv.pid), 0);
}

INSTANTIATE_TEST_SUITE_P(, RenderPaths,
                         ::testing::Values(PathCase{0, true}, PathCase{1, true}, PathCase{0, false},
                                           PathCase{1, false}),
                         path_case_name);

// An X server reached over TCP may be on another machine, where a segment
// id names other memory: frames take the plain path, exactly.
TEST_F(RenderE2E, FramesToATcpDisplayTakeThePlainPath)
{
  ASSERT_TRUE(x.start()) << x.err();
  dpy_name = "127.0.0.1:" + std::to_string(x.num);
  ASSERT_NO_FATAL_FAILURE(serve(0));
  frames_shown_exactly(0);
  EXPECT_EQ(shm_segments(rv.pid), 0);
}

// The 128 entries of a colour file, one pixel each down the first column
// (byte i is pixel (0, i)), each show their colour: exactly to 8 bits on
// the depth-24 screen; on the 8-plane screen, whose default map the
// standard map has filled, the closest colour the map holds. Indices past
// the entries, down the rest of the column, are black.
TEST_F(RenderE2E, ColourFileEntriesShowTheirColourOrTheClosest)
{
  std::vector<XColor> want(128);
  std::string text;
  for (int i = 0; i < 128; i++) {
    double c[3] = {i / 127.0, (127 - i) / 127.0, (i * 5 % 128) / 127.0};
    unsigned short* to[3] = {&want[i].red, &want[i].green, &want[i].blue};
    for (int k = 0; k < 3; k++) {
      std::string v = std::to_string(c[k]);  // six decimals, as ravlon reads them
      text += v + (k < 2 ? " " : "\n");
      *to[k] = static_cast<unsigned short>(std::stod(v) * 65535.0);
    }
  }
  const std::string file = temp_file(text);
  auto dist = [](const XColor& a, const XColor& b) {
    long long r = a.red - b.red, g = a.green - b.green, bl = a.blue - b.blue;
    return r * r + g * g + bl * bl;
  };
  auto rgb8 = [](const XColor& c) {
    return static_cast<uint32_t>((c.red >> 8) << 16 | (c.green >> 8) << 8 | c.blue >> 8);
  };
  std::vector<unsigned char> cvec(256);
  for (int i = 0; i < 256; i++)
    cvec[i] = static_cast<unsigned char>(i);
  for (int scr : {0, 1}) {
    SCOPED_TRACE(scr);
    ASSERT_NO_FATAL_FAILURE(serve(scr, {"-c", file}));
    ASSERT_EQ(c.send_colmap(cvec.data(), 256), 0);
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
    EXPECT_EQ(s.count_not(0x000000, 0, 128, 1, 256), 0);
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
  const std::string file = temp_file("1 1 1\n");
  ASSERT_NO_FATAL_FAILURE(serve(0, {"-c", file}));
  unlink(file.c_str());
  std::vector<unsigned char> cvec(65536);
  c.send_colmap(cvec.data(), 65536);
  ASSERT_TRUE(rv.wait_exit());
  EXPECT_EQ(rv.status(), 1);
  EXPECT_EQ(rv.err(),
            "ravlon: Cannot read RGB color file " + file + ": No such file or directory.\n");
}

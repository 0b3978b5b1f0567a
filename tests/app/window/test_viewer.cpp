// Looking at the pixels: zoom, fit and pan through the View menu's keys,
// the status line under the pointer, and the picture kept whole when its
// client leaves. The real ravlon, its picture read back from the screen.
#include "harness.h"
#include "testframes.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "net/protocol.h"
#include "render/framefill.h"
#include "ravlon_client.h"

namespace {

class Viewer : public RavlonTest {
protected:
  void TearDown() override
  {
    if (rv.running())
      quit();
  }
  void serve(const std::vector<std::string>& args = {})
  {
    ASSERT_NO_FATAL_FAILURE(start(args));
    ASSERT_EQ(c.connect(host_name().c_str(), port), 0);
  }
  bool send(const TestFrame& f)
  {
    return c.resize(f.w, f.h) == 0 &&
           c.send_rgb(f.bytes[0].data(), f.bytes[1].data(), f.bytes[2].data(), f.n()) == 0;
  }
  // The picture: the upper of the form's two children, the status line
  // the lower one, both centred in the window (the menu bar's buttons are
  // not).
  Window picture()
  {
    std::vector<Window> todo{wnd};
    while (!todo.empty()) {
      const Window w = todo.back();
      std::vector<Window> k = kids(w);
      todo.pop_back();
      todo.insert(todo.end(), k.begin(), k.end());
      std::vector<Window> leaves;
      for (Window c : k)
        if (kids(c).empty() &&
            std::abs(2 * (geometry(xv->dpy, c).x - geometry(xv->dpy, w).x) +
                     geometry(xv->dpy, c).width - geometry(xv->dpy, w).width) <= 1)
          leaves.push_back(c);
      if (leaves.size() == 2 && geometry(xv->dpy, leaves[0]).y != geometry(xv->dpy, leaves[1]).y)
        return geometry(xv->dpy, leaves[0]).y < geometry(xv->dpy, leaves[1]).y ? leaves[0]
                                                                               : leaves[1];
    }
    return 0;
  }
  std::vector<Window> kids(Window w)
  {
    Window root, parent, *list = nullptr;
    unsigned n = 0;
    XQueryTree(xv->dpy, w, &root, &parent, &list, &n);
    std::vector<Window> k(list, list + n);
    if (list)
      XFree(list);
    return k;
  }
  // Pixels of the view (vw x vh, zoom 2^shift, pan) whose values are not
  // the standard map's pixels of the frame's, once the picture has that
  // size; -1 while it has not.
  int wrong(const TestFrame& f, int vw, int vh, int shift, int px = 0, int py = 0)
  {
    const Window p = picture();
    const XRectangle g = geometry(xv->dpy, p);
    XStandardColormap* m = standard_map(xv->dpy, 0, XA_RGB_BEST_MAP);
    int bad = -1;
    if (m && g.width == vw && g.height == vh)
      bad = wrong_pixels(xv->dpy, p, vw, vh, [&](int x, int y) {
        const size_t i = f.at(view_source(x, px, shift), view_source(y, py, shift));
        return standard_pixel(*m, f.bytes[0][i], f.bytes[1][i], f.bytes[2][i]);
      });
    if (m)
      XFree(m);
    return bad;
  }
  bool shows(const TestFrame& f, int vw, int vh, int shift, int px = 0, int py = 0)
  {
    return wait_until([&] { return wrong(f, vw, vh, shift, px, py) == 0; }, 5000);
  }
  void pointer_at(int x, int y)
  {
    XRectangle g = geometry(xv->dpy, picture());
    run("DISPLAY=" + display_name(0) + " xdotool mousemove " + std::to_string(g.x + x) + " " +
        std::to_string(g.y + y));
  }
  bool status_has(const std::string& text)
  {
    return wait_until([&] { return status().find(text) != std::string::npos; }, 5000);
  }

  RavlonClient c;
};

}  // namespace

// Zoomed in, every image pixel is an exact block; zoom and pan stay for
// the next frame of the same size. At zoom 32 the 2048 x 1536 picture is
// cut to the screen and two arrow keys pan it by 64 pixels.
TEST_F(Viewer, ZoomInShowsExactBlocksKeptAcrossFrames)
{
  serve();
  struct Case {
    const char* keys;
    int shift;
    int pan;
  } cases[] = {{"alt+i", 1, 0}, {"alt+i", 2, 0}, {"alt+i alt+i alt+i Right Right", 5, 64}};
  // Zoom keeps the view's centre: from zoom 16, where the whole 1024 x 768
  // picture shows, zoom 32 centres on (1024, 768).
  TestFrame f(64, 48, 3, 1);
  ASSERT_TRUE(send(f));
  ASSERT_TRUE(shows(f, 64, 48, 0));
  int seed = 2;
  for (const Case& k : cases) {
    xv->key(wnd, k.keys);
    XRectangle p = geometry(xv->dpy, picture());
    int vw = 64 << k.shift, vh = 48 << k.shift;
    int px = 0, py = 0;
    if (k.shift == 5) {  // the screen's width and height less the window's frame and bars
      ASSERT_TRUE(wait_until([&] {
        p = geometry(xv->dpy, picture());
        return p.width < 1280 && p.width > 1200;
      }));
      vw = p.width, vh = p.height;
      px = 1024 - vw / 2 + k.pan, py = 768 - vh / 2;
    }
    EXPECT_TRUE(shows(f, vw, vh, k.shift, px, py))
        << k.keys << ": " << wrong(f, vw, vh, k.shift, px, py);
    TestFrame next(64, 48, 3, seed++);
    ASSERT_TRUE(send(next));
    EXPECT_TRUE(shows(next, vw, vh, k.shift, px, py)) << k.keys << " then a frame";
    f = next;
  }
  XRectangle outer = frame_geometry(xv->dpy, wnd);
  EXPECT_LE(outer.y + outer.height, 1024);
}

// A 3840 x 2160 frame on the 1280 x 1024 screen starts at 1/4, sampled:
// the whole window fits on the screen. Its client then leaves inside the
// next frame; once the error is dismissed, Actual Size shows the frame
// 1:1, cut to the screen, and a drag pans it.
TEST_F(Viewer, LargeFrameStartsFittedToTheScreen)
{
  serve();
  TestFrame f(3840, 2160, 3, 7);
  ASSERT_TRUE(send(f));
  ASSERT_TRUE(shows(f, 960, 540, -2)) << wrong(f, 960, 540, -2);
  XRectangle outer = frame_geometry(xv->dpy, wnd);
  EXPECT_GE(outer.x, 0);
  EXPECT_GE(outer.y, 0);
  EXPECT_LE(outer.x + outer.width, 1280);
  EXPECT_LE(outer.y + outer.height, 1024);
  EXPECT_TRUE(status_has("zoom 1/4  3840 x 2160")) << status();
  ASSERT_EQ(c.put_int(REQ_COLRGB), 0);
  ASSERT_EQ(c.put_int(f.n()), 0);
  ASSERT_EQ(c.put_bytes(f.bytes[1].data(), 100000), 0);
  c.close();
  const Window err = xv->find_window("Error");
  ASSERT_NE(err, 0u);
  xv->key(err, "Return");
  ASSERT_TRUE(wait_until([&] { return !is_viewable(xv->dpy, err); }));
  xv->key(wnd, "alt+1");
  ASSERT_TRUE(wait_until([&] { return geometry(xv->dpy, picture()).width > 1200; }));
  XRectangle p = geometry(xv->dpy, picture());  // centred where 1/4 was
  EXPECT_TRUE(shows(f, p.width, p.height, 0, 1920 - p.width / 2, 1080 - p.height / 2));
  // Dragged 40 pixels left and 20 up, the picture follows the pointer.
  pointer_at(100, 100);
  run("DISPLAY=" + display_name(0) + " xdotool mousedown 1");
  pointer_at(80, 90);
  pointer_at(60, 80);
  run("DISPLAY=" + display_name(0) + " xdotool mouseup 1");
  EXPECT_TRUE(shows(f, p.width, p.height, 0, 1960 - p.width / 2, 1100 - p.height / 2));
}

// The pointer over a known pixel of a colour-mapped frame: its
// coordinates, its index and the colour file's colour of it (RGB frames:
// test_save.cpp). The frame count is right within a second of frames that
// follow an idle pause.
TEST_F(Viewer, StatusLineShowsThePixelUnderThePointer)
{
  const std::string path = temp_file("1 0 0\n0 1 0\n0 0 0.5\n");
  serve({"-c", path});
  ASSERT_EQ(c.resize(40, 30), 0);
  ASSERT_TRUE(wait_until([&] { return geometry(xv->dpy, picture()).width == 40; }))
      << geometry(xv->dpy, picture()).width << " " << geometry(xv->dpy, wnd).width;
  std::vector<unsigned char> cvec(40 * 30, 0);
  cvec[5 * 30 + 3] = 2;
  ASSERT_EQ(c.send_colmap(cvec.data(), 40 * 30), 0);
  pointer_at(5, 3);
  EXPECT_TRUE(status_has("(5, 3) index 2 = 0 0 127")) << status();
  pointer_at(6, 3);
  EXPECT_TRUE(status_has("(6, 3) index 0 = 255 0 0")) << status();
  // A client on this host comes through the local socket.
  EXPECT_TRUE(status_has("Client connected on port " + std::to_string(port) +
                         ". from unix:" RAVLON_UNIX_DIR "/" + std::to_string(port)))
      << status();
  // After an idle pause the count follows the frames again at once.
  usleep(2500000);
  for (int i = 0; i < 3; i++)
    ASSERT_EQ(c.send_colmap(cvec.data(), 40 * 30), 0);
  EXPECT_TRUE(wait_until([&] { return status().find("4 frames") != std::string::npos; }, 1000))
      << status();
  unlink(path.c_str());
}

// With a 24-point menu font the menu bar is taller: the picture, wide or
// narrow, is whole. A client that leaves takes nothing of its picture
// along: the last frame stays whole and exact, and the status line says
// ravlon waits, and where.
TEST_F(Viewer, PictureStaysWholeUnderATallMenuBarAndWhenTheClientLeaves)
{
  ASSERT_EQ(run("echo 'ravlon*WMenu*fontList: -adobe-helvetica-bold-r-*-*-24-*-*-*-*-*-*-*' | "
                "DISPLAY=" +
                display_name(0) + " xrdb -merge"),
            0);
  serve();
  for (int side : {600, 100}) {
    TestFrame f(side, side * 2 / 3, 3, static_cast<unsigned>(side));
    if (side == 100) {
      ASSERT_EQ(c.connect(host_name().c_str(), port), 0);
    }
    ASSERT_TRUE(send(f));
    ASSERT_TRUE(shows(f, f.w, f.h, 0)) << side << ": " << wrong(f, f.w, f.h, 0);
    EXPECT_GT(geometry(xv->dpy, picture()).y - geometry(xv->dpy, wnd).y, 32);
    c.close();
    ASSERT_TRUE(wait_until([&] { return waiting(); })) << status();
    usleep(200000);
    EXPECT_EQ(wrong(f, f.w, f.h, 0), 0) << side;
  }
}

// Zoom changes the window's size, not its place (run under each window
// manager).
TEST_F(Viewer, ZoomKeepsTheWindowInPlace)
{
  serve();
  TestFrame f(200, 150, 3, 5);
  ASSERT_TRUE(send(f));
  ASSERT_TRUE(shows(f, 200, 150, 0));
  usleep(300000);  // the window manager has placed the window
  const XRectangle place = geometry(xv->dpy, wnd);
  for (const char* keys : {"alt+i", "alt+o", "alt+o"}) {
    XRectangle before = geometry(xv->dpy, picture());
    xv->key(wnd, keys);
    ASSERT_TRUE(wait_until([&] { return geometry(xv->dpy, picture()).width != before.width; }))
        << keys;
    usleep(300000);
    XRectangle after = geometry(xv->dpy, wnd);
    EXPECT_EQ(after.x, place.x) << keys;
    EXPECT_EQ(after.y, place.y) << keys;
  }
}

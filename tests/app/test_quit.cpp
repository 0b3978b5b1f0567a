// Every way of quitting ends ravlon with status 0 and nothing on standard
// error: the File menu's Quit, its accelerator Meta+Q, the window manager's
// close button and SIGINT.
#include "harness.h"

#include <sys/socket.h>
#include <unistd.h>

#include <csignal>

#include "ravlon_client.h"

namespace {

class Quit : public RavlonTest {
protected:
  void SetUp() override { start(); }

  void expect_quit()
  {
    ASSERT_TRUE(rv.wait_exit());
    EXPECT_EQ(rv.status(), 0);
    EXPECT_EQ(rv.err(), "");
  }
};

}  // namespace

TEST_F(Quit, FileMenuQuit)
{
  XRectangle g = geometry(xv->dpy, wnd);
  xv->click(g.x + 15, g.y + 15);  // "File" at the left of the menu bar
  Window pdm = xv->find_popup();
  ASSERT_NE(pdm, 0u);
  XRectangle p = geometry(xv->dpy, pdm);
  xv->click(p.x + p.width / 2, p.y + p.height / 2);  // its only item, "Quit"
  expect_quit();
}

TEST_F(Quit, MetaQ)
{
  XRectangle g = geometry(xv->dpy, wnd);
  xv->click(g.x + 128, g.y + 150);  // focus follows the click
  xv->key(wnd, "alt+q");            // Meta and Alt share a modifier here
  expect_quit();
}

// fvwm's leftmost title-bar button is bound to Close.
TEST_F(Quit, CloseButton)
{
  XRectangle f = frame_geometry(xv->dpy, wnd), g = geometry(xv->dpy, wnd);
  xv->click(g.x + 6, f.y + (g.y - f.y) / 2);
  expect_quit();
}

// Quitting with a client connected closes the client's connection too,
// without a byte written to it, even while ravlon waits for the rest of a
// frame the client has stopped sending.
TEST_F(Quit, SigintWithClientStalledInFrame)
{
  RavlonClient c;
  ASSERT_EQ(c.connect(host_name().c_str(), port), 0);
  ASSERT_EQ(c.resize(64, 64), 0);
  ASSERT_TRUE(wait_until([&] { return geometry(xv->dpy, wnd).height == 96; }));
  unsigned char part[10] = {};
  ASSERT_EQ(c.put_int(4), 0);
  ASSERT_EQ(c.put_int(4096), 0);
  ASSERT_EQ(c.put_bytes(part, sizeof part), 0);
  usleep(200000);  // ravlon now holds part of the frame
  rv.signal(SIGINT);
  ASSERT_NO_FATAL_FAILURE(expect_quit());
  char b;
  EXPECT_LE(recv(c.sock, &b, 1, 0), 0);
}

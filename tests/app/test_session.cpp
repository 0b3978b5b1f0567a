// A client's session with the real ravlon over TCP, seen on the screen:
// resizing, frames, a broken request, leaving, a second client, ending the
// server, and the port it listens on.
#include "harness.h"

#include <sys/socket.h>
#include <unistd.h>

#include <csignal>

#include "ravlon_client.h"

namespace {

class Session : public RavlonTest {
protected:
  void connect(RavlonClient& c) { ASSERT_EQ(c.connect(host_name().c_str(), port), 0); }
  // A uniform RGB frame of the whole 256 x 256 image.
  static void send_colour(RavlonClient& c, unsigned char r, unsigned char g, unsigned char b)
  {
    std::vector<unsigned char> pr(65536, r), pg(65536, g), pb(65536, b);
    ASSERT_EQ(c.send_rgb(pr.data(), pg.data(), pb.data(), 65536), 0);
  }
  bool shows(uint32_t rgb) { return xv->grab(img).count_not(rgb, 0, 0, 256, 256) == 0; }
  // The server is back to waiting, and the next client's frame is shown.
  void expect_next_client_served()
  {
    ASSERT_TRUE(wait_until([&] { return waiting_lines(); }));
    RavlonClient next;
    connect(next);
    send_colour(next, 0, 0, 255);
    ASSERT_TRUE(wait_until([&] { return shows(0x0000ff); }));
  }
};

}  // namespace

// The window keeps the place the user moved it to and takes the image
// size plus the menu bar.
TEST_F(Session, ResizeKeepsMovedWindowInPlace)
{
  start();
  XMoveWindow(xv->dpy, wnd, 300, 200);
  XSync(xv->dpy, False);
  // The window manager moves the window where it was asked to go and then
  // tells ravlon; a frame shown after that shows that ravlon's loop has
  // run since the notice was sent.
  ASSERT_TRUE(wait_until([&] {
    XRectangle g = geometry(xv->dpy, wnd);
    return g.x == 300 && g.y == 200;
  }));
  RavlonClient c;
  connect(c);
  send_colour(c, 0, 0, 255);
  ASSERT_TRUE(wait_until([&] { return shows(0x0000ff); }));
  ASSERT_EQ(c.resize(320, 200), 0);
  ASSERT_TRUE(wait_until([&] { return geometry(xv->dpy, wnd).width == 320; }));
  XRectangle after = geometry(xv->dpy, wnd);
  EXPECT_EQ(after.width, 320);
  EXPECT_EQ(after.height, 232);
  EXPECT_EQ(after.x, 300);
  EXPECT_EQ(after.y, 200);
  quit();
  EXPECT_EQ(rv.err(), "");
}

// Codes 0 and 5 are skipped and the frame after them drawn. A second client
// waits in the listen queue while the first is served, and is served once
// the first has left; a broken request shows the error window and also
// frees the server for the next client.
TEST_F(Session, ClientsTakeTurns)
{
  start();
  RavlonClient first;
  connect(first);
  ASSERT_EQ(first.put_int(0), 0);
  ASSERT_EQ(first.put_int(5), 0);
  send_colour(first, 255, 0, 0);
  ASSERT_TRUE(wait_until([&] { return shows(0xff0000); }));

  RavlonClient second;
  connect(second);  // completes into the queue
  send_colour(second, 0, 255, 0);
  usleep(300000);
  EXPECT_TRUE(shows(0xff0000));

  first.close();  // between requests: no message
  ASSERT_TRUE(wait_until([&] { return shows(0x00ff00); }));
  EXPECT_FALSE(xv->has_window("Error"));

  ASSERT_EQ(second.put_int(3), 0);  // an RGB frame cut short in its size
  second.close();
  EXPECT_NE(xv->find_window("Error"), 0u);
  ASSERT_NO_FATAL_FAILURE(expect_next_client_served());
  quit();
}

// A client that stops in the middle of a frame, but keeps its connection
// open, does not hold the window for good: the frame is given up with its
// message and the client waiting in the queue is served.
TEST_F(Session, StalledClientIsGivenUp)
{
  start();
  RavlonClient stalled;
  connect(stalled);
  unsigned char part[10] = {};
  ASSERT_EQ(stalled.put_int(4), 0);
  ASSERT_EQ(stalled.put_int(65536), 0);
  ASSERT_EQ(stalled.put_bytes(part, sizeof part), 0);
  RavlonClient next;
  connect(next);
  send_colour(next, 0, 0, 255);
  EXPECT_NE(xv->find_window("Error", 20000), 0u);
  ASSERT_TRUE(wait_until([&] { return shows(0x0000ff); }));
  quit();
}

// The server ends at once, with status 0, and writes nothing back.
TEST_F(Session, DisconnectEndsServer)
{
  start();
  RavlonClient c;
  connect(c);
  int fd = dup(c.sock);
  ASSERT_EQ(c.disconnect(), 0);
  ASSERT_TRUE(rv.wait_exit());
  EXPECT_EQ(rv.status(), 0);
  EXPECT_EQ(rv.err(), "");
  char b;
  EXPECT_LE(recv(fd, &b, 1, 0), 0);
  close(fd);
}

// The port is taken modulo 65536 (the window still says 70000). Binding
// it ourselves tells that ravlon holds it; a connection would leave the
// port in TIME_WAIT for the next run.
TEST_F(Session, PortBeyond16BitsWraps)
{
  int probe = hold_port(4464);
  ASSERT_GE(probe, 0) << "port 4464 is busy";
  close(probe);
  start({"-p", "70000"});
  EXPECT_LT(hold_port(4464), 0);
  quit();
}

// A port in use: the error window, no waiting lines, the program goes on.
TEST_F(Session, PortInUse)
{
  port = free_port();
  int held = hold_port(port);
  ASSERT_GE(held, 0);
  start({"-p", std::to_string(port)}, 0, false);
  EXPECT_NE(xv->find_window("Error"), 0u);
  Shot s;
  EXPECT_TRUE(wait_until([&] { return (s = xv->grab(img)).count_not(0, 0, 70, 256, 90) > 0; }));
  EXPECT_EQ(s.count_not(0, 0, 128, 256, 256), 0);  // the start-up picture only
  EXPECT_TRUE(rv.running());
  quit();
  close(held);
}

// The demo program of the README streams its frames and ends the server.
TEST_F(Session, DemoClientRunsToTheEnd)
{
  std::string bin = RAVLON_BINARY;
  bin = bin.substr(0, bin.rfind('/')) + "/ravlon-demo";
  if (access(bin.c_str(), X_OK) != 0)
    GTEST_SKIP() << bin << " is not built";
  start();
  Proc demo;
  ASSERT_TRUE(demo.start(
      bin, {"ravlon-demo", "-H", host_name(), "-p", std::to_string(port), "-n", "3", "-q"}));
  ASSERT_TRUE(demo.wait_exit());
  EXPECT_EQ(demo.status(), 0);
  EXPECT_EQ(demo.err(), "");
  ASSERT_TRUE(rv.wait_exit());
  EXPECT_EQ(rv.status(), 0);
  EXPECT_EQ(rv.err(), "");
}

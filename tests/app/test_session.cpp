// A client's session with the real ravlon over TCP, seen on the screen:
// resizing, frames, a broken request, leaving, a second client, ending the
// server, and the port it listens on.
#include "harness.h"

#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "ravlon_client.h"

namespace {

// The lowest descriptor number pid has not open.
int lowest_free_fd(pid_t pid)
{
  std::string dir = "/proc/" + std::to_string(pid) + "/fd/";
  int fd = 0;
  while (access((dir + std::to_string(fd)).c_str(), F_OK) == 0)
    fd++;
  return fd;
}

// User and system time pid has used, in clock ticks.
long cpu_ticks(pid_t pid)
{
  std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  long utime = 0, stime = 0;
  // after "pid (comm) ": state and ten more fields, then utime and stime
  size_t paren = stat.rfind(')');
  if (paren == std::string::npos ||
      sscanf(stat.c_str() + paren + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %ld %ld",
             &utime, &stime) != 2)
    return -1;
  return utime + stime;
}

class Session : public RavlonTest {
protected:
  void connect(RavlonClient& c) { ASSERT_EQ(c.connect(host_name().c_str(), port), 0); }
  // A uniform RGB frame of the whole 256 x 256 image, colour 0xRRGGBB.
  static bool send_colour(RavlonClient& c, uint32_t rgb)
  {
    std::vector<unsigned char> r(65536, (rgb >> 16) & 0xff), g(65536, (rgb >> 8) & 0xff),
        b(65536, rgb & 0xff);
    return c.send_rgb(r.data(), g.data(), b.data(), 65536) == 0;
  }
  bool shows(uint32_t rgb) { return xv->grab(img).count_not(rgb, 0, 0, 256, 256) == 0; }
  // The frame is sent, and the whole image shows it.
  bool shown(RavlonClient& c, uint32_t rgb)
  {
    return send_colour(c, rgb) && wait_until([&] { return shows(rgb); });
  }
  // The server is back to waiting, and the next client's frame is shown.
  void expect_next_client_served()
  {
    ASSERT_TRUE(wait_until([&] { return waiting(); }));
    RavlonClient next;
    connect(next);
    ASSERT_TRUE(shown(next, 0x0000ff));
  }
};

}  // namespace

// The window keeps the place the user moved it to and takes the image
// size plus the menu bar. A disconnect then ends the server at once, with
// status 0, and nothing is written back.
TEST_F(Session, ResizeKeepsMovedWindowInPlaceThenDisconnectEndsServer)
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
  ASSERT_TRUE(shown(c, 0x0000ff));
  ASSERT_EQ(c.resize(320, 200), 0);
  ASSERT_TRUE(wait_until([&] { return geometry(xv->dpy, wnd).width == 320; }));
  XRectangle after = geometry(xv->dpy, wnd);
  EXPECT_EQ(after.width, 320);
  Window pic = xv->find_descendant(wnd, 320, 200);
  ASSERT_NE(pic, 0u);
  EXPECT_EQ(geometry(xv->dpy, pic).y - after.y, 32);  // under the menu bar
  EXPECT_GT(after.height, 232);                       // and the status line under it
  EXPECT_EQ(after.x, 300);
  EXPECT_EQ(after.y, 200);
  int fd = dup(c.sock);
  ASSERT_EQ(c.disconnect(), 0);
  ASSERT_TRUE(rv.wait_exit());
  EXPECT_EQ(rv.status(), 0);
  EXPECT_EQ(rv.err(), "");
  char b;
  EXPECT_LE(recv(fd, &b, 1, 0), 0);
  close(fd);
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
  ASSERT_TRUE(shown(first, 0xff0000));

  RavlonClient second;
  connect(second);  // completes into the queue
  ASSERT_TRUE(send_colour(second, 0x00ff00));
  usleep(300000);
  EXPECT_TRUE(shows(0xff0000));

  first.close();  // between requests: no message
  ASSERT_TRUE(wait_until([&] { return shows(0x00ff00); }));
  EXPECT_EQ(xv->find_window("Error", 0), 0u);

  ASSERT_EQ(second.put_int(3), 0);  // an RGB frame cut short in its size
  second.close();
  EXPECT_NE(xv->find_window("Error"), 0u);
  ASSERT_NO_FATAL_FAILURE(expect_next_client_served());
  quit();
}

// With no descriptor free the queued client cannot be taken: ravlon
// neither spins nor draws meanwhile, and serves the client as soon as a
// descriptor can be had.
TEST_F(Session, ClientWaitsWhileNoDescriptorIsFree)
{
  start();
  rlimit was, low;
  ASSERT_EQ(prlimit(rv.pid, RLIMIT_NOFILE, nullptr, &was), 0);
  low = was;
  low.rlim_cur = static_cast<rlim_t>(lowest_free_fd(rv.pid));
  ASSERT_EQ(prlimit(rv.pid, RLIMIT_NOFILE, &low, nullptr), 0);
  RavlonClient c;
  connect(c);  // completes into the queue
  usleep(300000);
  long before = cpu_ticks(rv.pid);
  usleep(1000000);
  long used = cpu_ticks(rv.pid) - before;
  EXPECT_LT(used, 20) << "clock ticks in one second; a loop that spins takes about 100";
  EXPECT_TRUE(waiting_lines());
  ASSERT_EQ(prlimit(rv.pid, RLIMIT_NOFILE, &was, nullptr), 0);
  ASSERT_TRUE(shown(c, 0x0000ff));
  quit();
  EXPECT_EQ(rv.err(), "");
}

// The port is taken modulo 65536 (the window still says 70000): ravlon's
// own socket listens on 4464. A port another program holds is no fault of
// ravlon's.
TEST_F(Session, PortBeyond16BitsWraps)
{
  int probe = hold_port(4464);
  if (probe < 0)
    GTEST_SKIP() << "port 4464 is taken by another program";
  close(probe);
  start({"-p", "70000"}, 0, false);
  ASSERT_TRUE(
      wait_until([&] { return listens_on(rv.pid, 4464) || xv->find_window("Error", 0) != 0; }));
  if (!listens_on(rv.pid, 4464)) {
    probe = hold_port(4464);
    if (probe >= 0)
      close(probe);
    ASSERT_LT(probe, 0) << "ravlon could not bind port 4464 while it was free";
    GTEST_SKIP() << "port 4464 was taken by another program meanwhile";
  }
  EXPECT_TRUE(wait_until([&] { return waiting_lines(); }));
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
  EXPECT_FALSE(listens_on(rv.pid, port));  // the socket listening there is ours
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

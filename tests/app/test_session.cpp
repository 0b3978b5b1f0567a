// A client's session with the real ravlon over TCP, seen on the screen:
// resizing, frames (one sent before the window is first exposed), a broken
// request, leaving, a second client, ending the server, and the port it
// listens on.
#include "harness.h"

#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "netclient.h"
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
  // The frame is sent, and the whole image shows it.
  bool shown(RavlonClient& c, uint32_t rgb)
  {
    return send_colour(c, rgb) && wait_until([&] { return shows(rgb); });
  }
};

}  // namespace

// The window keeps the place the user moved it to and takes the image
// size plus the menu bar. A disconnect then ends the server at once, with
// status 0, and nothing is written back; the connection is left in
// TIME_WAIT on ravlon's port, and a new ravlon listens there at once.
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
  Window pic = xv->find_descendant(wnd, 320, 200);
  ASSERT_NE(pic, 0u);
  EXPECT_EQ(geometry(xv->dpy, pic).y - after.y, 32);  // under the menu bar
  EXPECT_GT(after.height, 232);                       // and the status line under it
  EXPECT_EQ(after.x, 300);
  EXPECT_EQ(after.y, 200);
  int fd = dup(c.sock);
  ASSERT_EQ(c.disconnect(), 0);
  ASSERT_NO_FATAL_FAILURE(expect_ended(rv, 0, ""));
  char b;
  EXPECT_LE(recv(fd, &b, 1, 0), 0);
  close(fd);
  c.close();
  start({"-p", std::to_string(port)});  // listening, or the test fails here
  quit();
  EXPECT_EQ(rv.err(), "");
}

// Code 0 and a key request (ravlon asks for none) are skipped and the frame
// after them drawn. A second client
// waits in the listen queue while the first is served, and is served once
// the first has left; a broken request shows the error window and also
// frees the server for the next client. A SIGINT with that client attached
// leaves its connection in TIME_WAIT, and a new ravlon listens on the port
// at once all the same (after a disconnect request:
// ResizeKeepsMovedWindowInPlaceThenDisconnectEndsServer).
TEST_F(Session, ClientsTakeTurns)
{
  start();
  RavlonClient first;
  connect(first);
  ASSERT_EQ(first.put_int(0), 0);
  const Bytes key = ints({RAVLON_REQ_KEY}) + Bytes(RAVLON_KEY_BYTES, 0);
  ASSERT_EQ(first.put_bytes(key.data(), static_cast<int>(key.size())), 0);
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
  ASSERT_TRUE(wait_until([&] { return waiting(); }));
  RavlonClient next;
  connect(next);
  ASSERT_TRUE(shown(next, 0x0000ff));
  quit();
  next.close();
  start({"-p", std::to_string(port)});  // listening, or the test fails here
  quit();
  EXPECT_EQ(rv.err(), "");
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

// Ten clients that come while one is served all connect at once and are
// served in the order they came: each sends a frame whose first pixel
// has a colour of its own, and the next colour shown must be the next
// client's.
TEST_F(Session, QueuedClientsAreServedInOrder)
{
  start();
  const int n = 10;
  int s[n];
  for (int i = 0; i < n; i++) {
    s[i] = dial(host_name(), port);
    ASSERT_GE(s[i], 0);
    ASSERT_TRUE(send_bytes(s[i], rgb_frame(0x100000u * (i + 1) + 0x80, 1)));
  }
  uint32_t before = 0x000000;  // the start-up picture's corner
  for (int i = 0; i < n; i++) {
    uint32_t at = before;
    wait_until([&] { return (at = xv->grab(img).at(0, 0)) != before; });
    EXPECT_EQ(at, 0x100000u * (i + 1) + 0x80) << "client " << i;
    before = at;
    close(s[i]);
  }
  quit();
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
  expect_ended(demo, 0, "");
  expect_ended(rv, 0, "");
}

// A client that connects the moment ravlon listens, before its window has
// been exposed, and sends at once: its frame is shown, not lost.
TEST_F(Session, FrameBeforeTheFirstExposureIsShown)
{
  port = free_port();
  xv.reset(new XView(0));
  ASSERT_TRUE(rv.start({"-p", std::to_string(port)}, {"DISPLAY=" + display_name(0)}));
  RavlonClient c;
  for (int i = 0; i < 40000 && c.connect(host_name().c_str(), port) != 0; i++)
    usleep(500);
  ASSERT_GE(c.sock, 0) << rv.err();
  std::vector<unsigned char> r(4096, 255), gb(4096, 0);
  ASSERT_EQ(c.resize(64, 64), 0);
  ASSERT_EQ(c.send_rgb(r.data(), gb.data(), gb.data(), 4096), 0);
  wnd = xv->find_window("Ravlon");
  ASSERT_NE(wnd, 0u);
  ASSERT_TRUE(wait_until([&] { return (img = xv->find_descendant(wnd, 64, 64)) != 0; }));
  EXPECT_TRUE(
      wait_until([&] { return xv->grab(img).count_not(0xff0000, 0, 0, 64, 64) == 0; }, 5000));
  quit();
}

namespace {

// ravlon on a private X server that can spare little memory for pictures.
class SessionLowMemory : public Session {
protected:
  void TearDown() override
  {
    if (rv.running()) {
      rv.signal(SIGKILL);
      rv.wait_exit();
    }
    xv.reset();
  }

  TcpXServer x;
};

}  // namespace

// A picture the X server cannot make: its message, and window and picture
// stay at the old size with the old frame, exact; the next size is taken.
TEST_F(SessionLowMemory, RefusedResizeKeepsTheOldSize)
{
  // A screen that takes a picture of 64 MB at 1:1.
  ASSERT_TRUE(x.start("4096x4096")) << x.err();
  long data = status_kb(x.pid, "VmData");
  ASSERT_GT(data, 0);
  rlimit lim;
  lim.rlim_cur = lim.rlim_max = static_cast<rlim_t>(data + 32 * 1024) * 1024;
  ASSERT_EQ(prlimit(x.pid, RLIMIT_DATA, &lim, nullptr), 0);
  dpy_name = "127.0.0.1:" + std::to_string(x.num);
  start();
  RavlonClient c;
  connect(c);
  std::vector<unsigned char> r(65536), g(65536), b(65536, 7);
  for (int i = 0; i < 65536; i++) {
    r[i] = static_cast<unsigned char>(i);
    g[i] = static_cast<unsigned char>(i >> 8);
  }
  ASSERT_EQ(c.send_rgb(r.data(), g.data(), b.data(), 65536), 0);
  // The pixels no other window (the error window) covers.
  XRectangle hid = {0, 0, 0, 0};
  auto frame_shown = [&] {
    Shot s = xv->grab(img);
    if (s.w < 256 || s.h < 256)
      return false;
    XRectangle at = geometry(xv->dpy, img);
    for (int x = 0; x < 256; x++)
      for (int y = 0; y < 256; y++) {
        int rx = at.x + x, ry = at.y + y;
        if (rx >= hid.x && rx < hid.x + hid.width && ry >= hid.y && ry < hid.y + hid.height)
          continue;
        if (s.at(x, y) != (static_cast<uint32_t>(r[x * 256 + y]) << 16 | g[x * 256 + y] << 8 | 7))
          return false;
      }
    return true;
  };
  ASSERT_TRUE(wait_until(frame_shown));
  XRectangle before = geometry(xv->dpy, wnd);
  ASSERT_EQ(c.resize(4000, 4000), 0);
  Window err = xv->find_window("Error");
  ASSERT_NE(err, 0u) << "the X server made the 64 MB picture";
  usleep(200000);
  hid = geometry(xv->dpy, err);
  XRectangle after = geometry(xv->dpy, wnd);
  EXPECT_EQ(after.width, before.width);
  EXPECT_EQ(after.height, before.height);
  EXPECT_TRUE(frame_shown());
  ASSERT_EQ(c.resize(128, 96), 0);
  EXPECT_TRUE(wait_until([&] { return xv->find_descendant(wnd, 128, 96) != 0; }));
  quit();
}

// Memory follows the frames: after one 8192 x 8192 frame, small frames
// bring ravlon's resident memory back near where it was (a loose bound:
// the large frame alone takes 192 MB of vectors and more of images), with
// no history keeping frames.
TEST_F(Session, MemoryFollowsTheFrames)
{
  // Without its quarantine the sanitizer build hands freed memory back at
  // once, as the C library does.
  const char* asan = getenv("ASAN_OPTIONS");
  setenv("ASAN_OPTIONS", ((asan ? std::string(asan) + ":" : "") + "quarantine_size_mb=0").c_str(),
         1);
  start({"-xrm", "ravlon.historyMemory: 0"});
  RavlonClient c;
  connect(c);
  ASSERT_TRUE(shown(c, 0x102030));
  const long before = status_kb(rv.pid, "VmRSS");
  const int side = 8192, n = side * side;
  std::vector<unsigned char> plane(static_cast<size_t>(n), 0x80);
  ASSERT_EQ(c.resize(side, side), 0);
  ASSERT_EQ(c.send_rgb(plane.data(), plane.data(), plane.data(), n), 0);
  EXPECT_TRUE(wait_until([&] { return status_kb(rv.pid, "VmRSS") > before + 150 * 1024; }));
  ASSERT_EQ(c.resize(256, 256), 0);
  for (uint32_t rgb : {0xff0000u, 0x00ff00u, 0x0000ffu})
    ASSERT_TRUE(shown(c, rgb));
  EXPECT_LT(status_kb(rv.pid, "VmRSS"), before + 64 * 1024) << "kB; " << before << " kB before";
  quit();
}

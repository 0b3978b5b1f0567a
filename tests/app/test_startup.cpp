// Start-up as a user meets it: the window ravlon opens, and every way the
// command line or the workstation can stop it, with the exact line on
// standard error and the exit status.
#include "harness.h"
#include "testframes.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

namespace {

const char* const usage_line = "ravlon: Usage: ravlon [-c rgbfile] [-p svrport]\n";

// Rows [y0, y1) of the image hold something other than black.
bool has_text(const Shot& s, int y0, int y1)
{
  return s.count_not(0x000000, 0, y0, s.w, y1) > 0;
}

// Whether a Motif hint word allows bit: with bit 0 set the word lists
// what is taken away, otherwise what is given.
bool allows(long word, long bit)
{
  return (word & 1) ? !(word & bit) : (word & bit) != 0;
}

class Startup : public RavlonTest {};

// Rows baseline - 11 to baseline + 1 (the 6x13 font's ascent and descent),
// 1 where a pixel is white.
std::vector<int> status_line(const Shot& s, int baseline)
{
  std::vector<int> px;
  for (int y = baseline - 11; y <= baseline + 1; y++)
    for (int x = 0; x < 256; x++)
      px.push_back(s.at(x, y) == 0xffffff);
  return px;
}

// text in white 6x13 centred across 256 pixels, drawn here, in the rows
// status_line reads.
std::vector<int> text_line(Display* d, const std::string& text)
{
  std::vector<int> px;
  XFontStruct* f = XLoadQueryFont(d, "6x13");
  if (!f)
    return px;
  Window root = DefaultRootWindow(d);
  Pixmap p = XCreatePixmap(d, root, 256, 13, static_cast<unsigned>(DefaultDepth(d, 0)));
  GC gc = XCreateGC(d, p, 0, nullptr);
  XSetForeground(d, gc, BlackPixel(d, 0));
  XFillRectangle(d, p, gc, 0, 0, 256, 13);
  XSetForeground(d, gc, WhitePixel(d, 0));
  XSetFont(d, gc, f->fid);
  int len = static_cast<int>(text.size());
  XDrawString(d, p, gc, (256 - XTextWidth(f, text.c_str(), len)) / 2, 11, text.c_str(), len);
  XImage* xi = XGetImage(d, p, 0, 0, 256, 13, AllPlanes, ZPixmap);
  for (int y = 0; xi && y < 13; y++)
    for (int x = 0; x < 256; x++)
      px.push_back(XGetPixel(xi, x, y) == WhitePixel(d, 0));
  if (xi)
    XDestroyImage(xi);
  XFreeGC(d, gc);
  XFreePixmap(d, p);
  XFreeFont(d, f);
  return px;
}

// A fake X server: a socket listening on 127.0.0.1:6000+num for a free num,
// with a queue of backlog; -1 when none is free.
int fake_x_server(int backlog, int& num)
{
  for (num = 100; num < 200; num++) {
    int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in sa;
    memset(&sa, 0, sizeof sa);
    sa.sin_family = AF_INET;
    sa.sin_port = htons(static_cast<unsigned short>(6000 + num));
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0 && listen(s, backlog) == 0)
      return s;
    close(s);
  }
  return -1;
}

}  // namespace

// The menu bar above a 256 x 256 picture, centred in a window that holds
// the menu bar and the status line, and the status line below it: the
// title and credit line in the upper half, the three waiting lines
// (baselines 192, 205, 218) in the lower half, black between and below
// them, the last one "on port N." exactly as ravlon draws it; the status
// line says the same. Run by its path, as from a menu or a script, it
// keeps that look (the menu bar's colour comes from its fallback
// resources) and its messages their prefix.
TEST_F(Startup, WindowShowsPictureAndWaitingLines)
{
  rv.name = RAVLON_BINARY;
  start();
  EXPECT_EQ(xv->grab(wnd).at(200, 10), 0x63b8ffu);  // SteelBlue1
  XRectangle g = geometry(xv->dpy, wnd), p = geometry(xv->dpy, img);
  EXPECT_EQ(2 * (p.x - g.x) + 256, g.width);
  EXPECT_EQ(p.y - g.y, 32);
  EXPECT_GT(g.height, 288);
  EXPECT_TRUE(wait_until([&] { return waiting(); })) << status();

  // The window manager is asked for no resizing and no maximising.
  long fn = motif_hint(xv->dpy, wnd, 1), deco = motif_hint(xv->dpy, wnd, 2);
  ASSERT_NE(fn, -1);
  EXPECT_FALSE(allows(fn, 0x02) || allows(fn, 0x10));      // resize, maximise
  EXPECT_TRUE(allows(fn, 0x04) && allows(fn, 0x20));       // move, close
  EXPECT_FALSE(allows(deco, 0x04) || allows(deco, 0x40));  // resize handles, maximise button
  EXPECT_TRUE(allows(deco, 0x08));                         // title bar

  Shot s = xv->grab(img);
  EXPECT_TRUE(has_text(s, 70, 90));    // title
  EXPECT_TRUE(has_text(s, 182, 194));  // "Waiting for"
  EXPECT_TRUE(has_text(s, 195, 207));  // "client connection"
  EXPECT_FALSE(has_text(s, 128, 178));
  EXPECT_FALSE(has_text(s, 222, 256));
  EXPECT_GT(s.count(0xffffff, 0, 182, 256, 194), 0);  // text is white, not some other pixel
  EXPECT_EQ(text_line(xv->dpy, "on port " + std::to_string(port) + "."), status_line(s, 218));
  quit();
  EXPECT_EQ(rv.err(), "");  // no X error, no toolkit warning
  ASSERT_TRUE(rv.start({"-h"}));
  expect_ended(rv, 1, usage_line);
}

// Xt takes its own options first (-display here): what is left must be
// ravlon's. A port is 1 to 65535 in decimal, and nothing else.
TEST_F(Startup, UsageBadPortAndNoDisplayEndWithStatus1)
{
  const std::string getopt = "ravlon: ";
  expect_failure({"-h"}, {}, usage_line);
  expect_failure({"-display", display_name(0), "-x"}, {"DISPLAY"},
                 getopt + "invalid option -- 'x'\n" + usage_line);
  expect_failure({"-p"}, {}, getopt + "option requires an argument -- 'p'\n" + usage_line);
  expect_failure({"-c"}, {}, getopt + "option requires an argument -- 'c'\n" + usage_line);
  expect_failure({"-c", std::string(512, 'x')}, {}, usage_line);  // longer than its buffer
  for (const char* p : {"abc", "", "0", "65536", "70000", "12ab", "-5", " 80"})
    expect_failure(
        {"-p", p}, {},
        std::string("ravlon: Invalid port \"") + p + "\": give a number from 1 to 65535.\n");
  expect_failure({}, {"DISPLAY=:99999"}, "ravlon: Cannot connect to X server.\n");
  expect_failure({"-display", ":99999", "-p", "1234"}, {}, "ravlon: Cannot connect to X server.\n");
}

// -display, -geometry, -title and -xrm are Xt's: the window opens on the
// screen named (DISPLAY unset) with the title given, its frame where the
// geometry puts it, and the server listens where the resource says.
TEST_F(Startup, TakesTheXToolkitOptions)
{
  port = free_port();
  xv.reset(new XView(1));
  ASSERT_TRUE(rv.start({"-display", display_name(1), "-geometry", "+10+20", "-title", "Pictures",
                        "-xrm", "ravlon.listenAddress: any", "-p", std::to_string(port)},
                       {"DISPLAY"}));
  wnd = xv->find_window("Pictures");
  ASSERT_NE(wnd, 0u) << rv.err();
  XRectangle f = frame_geometry(xv->dpy, wnd);
  EXPECT_EQ(f.x, 10);
  EXPECT_EQ(f.y, 20);
  EXPECT_EQ(listening_at(rv.pid, port), std::vector<std::string>{"::"});
  quit();
  EXPECT_EQ(rv.err(), "");
}

// A colour file that cannot be read (with the system's reason), or whose
// lines are not all three numbers or blank, or that holds no triple, is
// refused at start-up, on either screen, naming the first bad line. Root reads any file, so the
// file without permissions is tried by an unprivileged user.
TEST_F(Startup, ColourFileThatCannotBeReadWholeEndsStartup)
{
  const std::string locked = temp_file("");
  ASSERT_EQ(chmod(locked.c_str(), 0), 0);
  struct Case {
    std::string file;  // a path, or the text of a new file
    bool text;
    int scr;
    std::string why;
  };
  const std::string no_triple = ": it holds no line of three numbers.";
  const Case cases[] = {
      {"/tmp", false, 0, ": Is a directory."},
      {"/tmp", false, 1, ": Is a directory."},
      {"/nonexistent/colours", false, 0, ": No such file or directory."},
      {locked, false, 1, ": Permission denied."},
      {"", true, 0, no_triple},
      {"\n  \n", true, 1, no_triple},
      {"red green blue\n", true, 0, ": line 1 is not three numbers."},
      {"0 0 0\n\n0.5,0.5,0.5\n", true, 1, ": line 3 is not three numbers."},
      {"1 1 1\n0 0\n", true, 0, ": line 2 is not three numbers."},
      {"1 1 1\n1 1 1 1\n", true, 0, ": line 2 is not three numbers."},
      {"1 1 1\n\x01\xfe\n", true, 1, ": line 2 is not three numbers."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string file = c.text ? temp_file(c.file) : c.file;
    std::vector<std::string> args{"-c", file};
    Ravlon rv;
    if (file == locked && geteuid() == 0) {
      if (access("/usr/bin/setpriv", X_OK) != 0) {
        ADD_FAILURE() << "setpriv is needed to read the file as another user";
        continue;
      }
      rv.path = "/usr/bin/setpriv";
      rv.name = "setpriv";
      args.insert(args.begin(),
                  {"--reuid=65534", "--regid=65534", "--clear-groups", RAVLON_BINARY});
    }
    ASSERT_TRUE(rv.start(args, {"DISPLAY=" + display_name(c.scr)}));
    expect_ended(rv, 1, "ravlon: Cannot read RGB color file " + file + c.why + "\n");
    if (c.text)
      unlink(file.c_str());
  }
  unlink(locked.c_str());
}

// An X server that goes away ends ravlon with its own line, not Xlib's.
TEST_F(Startup, LostXConnectionEndsWithStatus1)
{
  TcpXServer x;
  ASSERT_TRUE(x.start()) << x.err();
  dpy_name = "127.0.0.1:" + std::to_string(x.num);
  start();
  xv.reset();  // the test's own connection must not see the server go
  x.signal(SIGKILL);
  expect_ended(rv, 1, "ravlon: Lost the connection to the X server.\n");
}

// Before its window exists ravlon may wait on the X server for good: for
// the answer to its greeting, or for a connection a full queue does not
// take. Ctrl-C still ends it at once, with status 0 and no message.
TEST_F(Startup, SigintWhileTheXServerDoesNotAnswer)
{
  int num = 0;
  int silent = fake_x_server(5, num);
  ASSERT_GE(silent, 0);
  Ravlon rv;
  ASSERT_TRUE(rv.start({}, {"DISPLAY=127.0.0.1:" + std::to_string(num)}));
  int conn = accept(silent, nullptr, nullptr);
  ASSERT_GE(conn, 0);
  char greeting[12];
  ASSERT_GT(recv(conn, greeting, sizeof greeting, 0), 0);  // now it waits for the answer
  rv.signal(SIGINT);
  ASSERT_NO_FATAL_FAILURE(expect_ended(rv, 0, "", 2000));
  close(conn);
  close(silent);

  int full = fake_x_server(0, num);
  ASSERT_GE(full, 0);
  int queued = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in sa;
  socklen_t len = sizeof sa;
  ASSERT_EQ(getsockname(full, reinterpret_cast<sockaddr*>(&sa), &len), 0);
  ASSERT_EQ(connect(queued, reinterpret_cast<sockaddr*>(&sa), len), 0);  // fills the queue
  Ravlon blocked;
  ASSERT_TRUE(blocked.start({}, {"DISPLAY=127.0.0.1:" + std::to_string(num)}));
  ASSERT_TRUE(wait_until([&] {
    for (const TcpSocket& t : tcp_sockets(blocked.pid))
      if (t.remote_port == 6000 + num && t.state == TCP_SYN_SENT)
        return true;
    return false;
  }));
  blocked.signal(SIGINT);
  ASSERT_NO_FATAL_FAILURE(expect_ended(blocked, 0, "", 2000));
  close(queued);
  close(full);
}

// The depth-8 screen uses its default standard map on the default visual.
// Without its standard colour map a screen cannot show RGB frames; with a
// colour file none is needed.
TEST_F(Startup, Depth8ScreenAndMissingStandardMap)
{
  start({}, 1);
  EXPECT_GT(xv->grab(img).count(0xffffff, 0, 182, 256, 194), 0);
  quit();
  EXPECT_EQ(rv.err(), "");
  ASSERT_EQ(run("xstdcmap -display " + display_name(0) + " -delete best"), 0);
  ASSERT_EQ(run("xstdcmap -display " + display_name(1) + " -delete default"), 0);
  expect_failure({}, {"DISPLAY=" + display_name(0)},
                 "ravlon: XA_RGB_BEST_MAP standard colormap not allocated.\n");
  expect_failure({}, {"DISPLAY=" + display_name(1)},
                 "ravlon: XA_RGB_DEFAULT_MAP standard colormap not allocated.\n");
  const std::string black = temp_file("\n0 0 0\n\n0 0 0");  // blank lines, no final newline
  start({"-c", black}, 1);
  quit();
  EXPECT_EQ(rv.err(), "");
  unlink(black.c_str());
}

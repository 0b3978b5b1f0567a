// End-to-end test harness: runs the real ravlon program and looks at it
// from outside, as its user does, through the X server of the test session
// (tests/xsession: Xvfb, fvwm, standard colour maps) and real TCP. Ravlon
// runs the program (standard error, exit status, signals); XView finds its
// windows and reads their pixels back; RavlonTest, the fixture, starts it
// on a free port and finds its window and 256 x 256 image.
//
// Include it before any X header: X defines None, which gtest's headers
// must see undefined.
#ifndef HARNESS_H
#define HARNESS_H

#include "xsupport.h"

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <vector>

// The host's own name (gethostname): ravlon listens on the address it
// resolves to.
std::string host_name();
// The IPv4 address that name resolves to, as text ("" when none).
std::string host_address();
// A TCP port on the host's address that nothing is bound to right now,
// outside the range the kernel hands out by itself.
int free_port();
// A listening socket that holds port on the host's address (-1 on failure).
int hold_port(int port);

// A TCP socket of a process as the kernel lists it (/proc/net/tcp, tcp6).
struct TcpSocket {
  std::string local_addr;  // "127.0.0.1", "::", "::1"...
  int local_port;
  int remote_port;
  int state;  // TCP_LISTEN, TCP_SYN_SENT... of <netinet/tcp.h>
};
// The TCP sockets of both families process pid holds open.
std::vector<TcpSocket> tcp_sockets(pid_t pid);
// The local addresses of pid's own sockets that listen on port.
std::vector<std::string> listening_at(pid_t pid, int port);

// A child process with its standard error captured; stdin is /dev/null.
class Proc {
public:
  Proc();
  ~Proc();  // kills a process still running
  Proc(const Proc&) = delete;
  Proc& operator=(const Proc&) = delete;

  // argv[0] is passed as given; env entries "NAME=value" are added,
  // "NAME" alone removes the variable.
  bool start(const std::string& path, const std::vector<std::string>& argv,
             const std::vector<std::string>& env = {});
  // True once the process has ended (within ms).
  bool wait_exit(int ms = 20000);
  bool running();
  // Exit status, or -1 when a signal ended it.
  int status() const { return exit_status; }
  std::string err() const;  // standard error so far
  void signal(int sig);

  pid_t pid;

private:
  std::string errfile;
  int exit_status;
};

// ravlon itself, run under the name "ravlon" unless told otherwise: the
// program built here, or another copy of it (an installed one) at path.
class Ravlon : public Proc {
public:
  bool start(const std::vector<std::string>& args, const std::vector<std::string>& env = {});

  std::string path = RAVLON_BINARY;
  std::string name = "ravlon";  // argv[0]
};

// p ends within ms with status and exactly err on standard error.
void expect_ended(Proc& p, int status, const std::string& err, int ms = 20000);
// A ravlon started with args and env ends at once with status 1 and
// exactly err on standard error.
void expect_failure(const std::vector<std::string>& args, const std::vector<std::string>& env,
                    const std::string& err);

// A private Xvfb of one depth-24 screen (640 x 480 unless told otherwise),
// with the best standard colour map and no window manager, that also
// listens on TCP (port 6000 + num).
class TcpXServer : public Proc {
public:
  ~TcpXServer();  // ends it so that it removes its socket and lock file
  bool start(const std::string& size = "640x480");
  int num = -1;
};

// Shared-memory segments process pid has made that still exist.
int shm_segments(pid_t pid);
// A size field of /proc/PID/status ("VmRSS", "VmData"...) in kB, -1 when
// it cannot be read.
long status_kb(pid_t pid, const char* field);

// A picture of a window read back from the X server, as 0xRRGGBB values.
struct Shot {
  int w = 0;
  int h = 0;
  std::vector<uint32_t> rgb;

  uint32_t at(int x, int y) const { return rgb[static_cast<size_t>(y) * w + x]; }
  // Pixels of colour c, and pixels of any other colour, in the rectangle
  // [x0, x1) x [y0, y1) (clipped to the picture).
  int count(uint32_t c, int x0, int y0, int x1, int y1) const;
  int count_not(uint32_t c, int x0, int y0, int x1, int y1) const;
};

// A connection to the session's X server, from outside ravlon.
class XView {
public:
  explicit XView(int scr = 0);
  explicit XView(const std::string& name);  // any display, its screen 0
  ~XView();
  XView(const XView&) = delete;
  XView& operator=(const XView&) = delete;

  // A viewable client window whose title (WM_NAME) is name; 0 when none
  // shows up within ms.
  Window find_window(const char* name, int ms = 20000);
  // The deepest descendant of top of exactly w x h pixels, or 0.
  Window find_descendant(Window top, int w, int h);
  // A viewable override-redirect window (a posted menu), or 0.
  Window find_popup(int ms = 5000);
  // The contents of w (which must be viewable), colours resolved through
  // its colour map.
  Shot grab(Window w);
  // Pointer and keyboard through xdotool (XTEST), as a user would.
  void click(int rootx, int rooty);
  void key(Window focus, const char* keys);

  Display* dpy;
  int scr;
};

// A test with ravlon running on screen scr (or on display dpy_name when
// set): start() adds "-p port" for a free port unless args name one, finds
// the window and its 256 x 256 image, and waits, unless told otherwise,
// for the waiting lines (and ravlon's own socket listening on the port).
class RavlonTest : public ::testing::Test {
protected:
  void start(std::vector<std::string> args = {}, int scr = 0, bool waiting = true);
  // The last waiting line is drawn over a cleared lower half (before the
  // first frame).
  bool waiting_lines();
  // Every pixel of the image is 0xRRGGBB rgb.
  bool shows(uint32_t rgb);
  // The status line's text, its lines joined by spaces.
  std::string status();
  // The status line says ravlon waits for a client, and on which port.
  bool waiting();
  // SIGINT ends ravlon with status 0.
  void quit();

  Ravlon rv;
  std::unique_ptr<XView> xv;
  Window wnd = 0;
  Window img = 0;
  int port = 0;
  std::string dpy_name;
};

#endif

// End-to-end test harness: the real ravlon process, seen from outside.
#include "harness.h"

#include <dirent.h>
#include <fcntl.h>
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <unordered_map>

#include <X11/Xutil.h>

namespace {

// A socket bound to port on the host's address, or -1. Not inherited: in
// ravlon it would look like ravlon's own.
int bound_socket(int port)
{
  sockaddr_in sa;
  memset(&sa, 0, sizeof sa);
  sa.sin_family = AF_INET;
  sa.sin_port = htons(static_cast<unsigned short>(port));
  if (inet_pton(AF_INET, host_address().c_str(), &sa.sin_addr) != 1)
    return -1;
  int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (s < 0)
    return -1;
  if (bind(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa) < 0) {
    close(s);
    return -1;
  }
  return s;
}

std::vector<Window> children(Display* d, Window w)
{
  Window root = 0;
  Window parent = 0;
  Window* kids = nullptr;
  unsigned int n = 0;
  std::vector<Window> v;
  if (XQueryTree(d, w, &root, &parent, &kids, &n))
    v.assign(kids, kids + n);
  if (kids)
    XFree(kids);
  return v;
}

Window find_named(Display* d, Window w, const char* name)
{
  char* title = nullptr;
  bool match = XFetchName(d, w, &title) && title && strcmp(title, name) == 0;
  if (title)
    XFree(title);
  if (match && is_viewable(d, w))
    return w;
  for (Window c : children(d, w))
    if (Window f = find_named(d, c, name))
      return f;
  return 0;
}

// Depth-first; a deeper match wins over a shallower one.
Window deepest_of_size(Display* d, Window w, int width, int height, int depth, int& best)
{
  Window found = 0;
  XWindowAttributes a;
  if (XGetWindowAttributes(d, w, &a) && a.width == width && a.height == height && depth > best) {
    found = w;
    best = depth;
  }
  for (Window c : children(d, w))
    if (Window f = deepest_of_size(d, c, width, height, depth + 1, best))
      found = f;
  return found;
}

// Windows come and go while a view walks the tree (a BadWindow for one
// that has just gone is no fault); errors on other connections go to the
// handler that was there before.
std::vector<Display*> views;
XErrorHandler previous_handler = nullptr;

int ignore_view_errors(Display* d, XErrorEvent* e)
{
  for (Display* v : views)
    if (v == d)
      return 0;
  return previous_handler ? previous_handler(d, e) : 0;
}

// The inodes of the sockets among pid's open descriptors.
std::vector<unsigned long> socket_inodes(pid_t pid)
{
  std::vector<unsigned long> v;
  std::string dir = "/proc/" + std::to_string(pid) + "/fd";
  DIR* d = opendir(dir.c_str());
  if (!d)
    return v;
  while (dirent* e = readdir(d)) {
    char link[64] = {};
    unsigned long ino = 0;
    if (readlink((dir + "/" + e->d_name).c_str(), link, sizeof link - 1) > 0 &&
        sscanf(link, "socket:[%lu]", &ino) == 1)
      v.push_back(ino);
  }
  closedir(d);
  return v;
}

// The kernel prints an address as the hex of its 32-bit words.
std::string kernel_address(const std::string& hex)
{
  unsigned char a[16];
  size_t words = hex.size() / 8;
  for (size_t i = 0; i < words && i < 4; i++) {
    uint32_t w = static_cast<uint32_t>(std::stoul(hex.substr(i * 8, 8), nullptr, 16));
    memcpy(a + i * 4, &w, 4);
  }
  char text[INET6_ADDRSTRLEN] = "";
  inet_ntop(words == 4 ? AF_INET6 : AF_INET, a, text, sizeof text);
  return text;
}

}  // namespace

std::vector<TcpSocket> tcp_sockets(pid_t pid)
{
  std::vector<unsigned long> mine = socket_inodes(pid);
  std::vector<TcpSocket> v;
  for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
    std::ifstream f(table);
    std::string line;
    std::getline(f, line);  // the heading
    while (std::getline(f, line)) {
      TcpSocket t;
      char local[33] = "";
      unsigned long ino = 0;
      // sl local rem st tx:rx tr:when retrnsmt uid timeout inode
      if (sscanf(line.c_str(),
                 " %*d: %32[0-9A-Fa-f]:%x %*[0-9A-Fa-f]:%x %x %*x:%*x %*x:%*x %*x %*d %*d %lu",
                 local, &t.local_port, &t.remote_port, &t.state, &ino) == 5 &&
          std::find(mine.begin(), mine.end(), ino) != mine.end()) {
        t.local_addr = kernel_address(local);
        v.push_back(t);
      }
    }
  }
  return v;
}

std::vector<std::string> listening_at(pid_t pid, int port)
{
  std::vector<std::string> v;
  for (const TcpSocket& t : tcp_sockets(pid))
    if (t.local_port == port && t.state == TCP_LISTEN)
      v.push_back(t.local_addr);
  return v;
}

std::string host_address()
{
  hostent* he = gethostbyname(host_name().c_str());
  return he && he->h_addrtype == AF_INET && he->h_addr_list[0]
             ? inet_ntoa(*reinterpret_cast<in_addr*>(he->h_addr_list[0]))
             : "";
}

std::string host_name()
{
  char h[512];
  if (gethostname(h, sizeof h) < 0)
    return "localhost";
  h[sizeof h - 1] = '\0';
  return h;
}

// The kernel never hands out a port below its ephemeral range by itself
// (to a bind to port 0 or an outgoing connection), so one found free here
// stays free until ravlon binds it, unless another test picks it too; tests
// running side by side start looking at places set by their process ids.
int free_port()
{
  const int first = 20000;
  const int count = 12000;  // up to 32767, where the usual ephemeral range begins
  for (int i = 0; i < count; i++) {
    int port = first + static_cast<int>((getpid() * 7 + i) % count);
    int s = bound_socket(port);
    if (s >= 0) {
      close(s);
      return port;
    }
  }
  return -1;
}

int hold_port(int port)
{
  int s = bound_socket(port);
  if (s >= 0 && listen(s, 1) < 0) {
    close(s);
    return -1;
  }
  return s;
}

Proc::Proc() : pid(0), exit_status(-1)
{
  char tmpl[] = "/tmp/ravlon-test-err.XXXXXX";
  int fd = mkstemp(tmpl);
  if (fd >= 0)
    close(fd);
  errfile = tmpl;
}

Proc::~Proc()
{
  if (running()) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  unlink(errfile.c_str());
}

bool Proc::start(const std::string& path, const std::vector<std::string>& argv,
                 const std::vector<std::string>& env)
{
  std::vector<std::string> args = argv;
  std::vector<char*> av;
  for (std::string& a : args)
    av.push_back(&a[0]);
  av.push_back(nullptr);
  pid = fork();
  if (pid < 0)
    return false;
  if (pid == 0) {
    int in = open("/dev/null", O_RDONLY);
    int err = open(errfile.c_str(), O_WRONLY | O_TRUNC);
    dup2(in, 0);
    dup2(in, 1);
    dup2(err, 2);
    for (const std::string& e : env) {
      size_t eq = e.find('=');
      if (eq == std::string::npos)
        unsetenv(e.c_str());
      else
        setenv(e.substr(0, eq).c_str(), e.c_str() + eq + 1, 1);
    }
    execv(path.c_str(), av.data());
    _exit(127);
  }
  return true;
}

bool Proc::running()
{
  if (pid <= 0)
    return false;
  int st = 0;
  pid_t r = waitpid(pid, &st, WNOHANG);
  if (r == 0)
    return true;
  if (r == pid)
    exit_status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  pid = 0;
  return false;
}

bool Proc::wait_exit(int ms)
{
  return wait_until([this] { return !running(); }, ms);
}

std::string Proc::err() const
{
  std::ifstream f(errfile);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

void Proc::signal(int sig)
{
  if (pid > 0)
    kill(pid, sig);
}

bool Ravlon::start(const std::vector<std::string>& args, const std::vector<std::string>& env)
{
  std::vector<std::string> argv{name};
  argv.insert(argv.end(), args.begin(), args.end());
  return Proc::start(path, argv, env);
}

void expect_ended(Proc& p, int status, const std::string& err, int ms)
{
  ASSERT_TRUE(p.wait_exit(ms)) << err;
  EXPECT_EQ(p.status(), status) << err;
  EXPECT_EQ(p.err(), err);
}

void expect_failure(const std::vector<std::string>& args, const std::vector<std::string>& env,
                    const std::string& err)
{
  Ravlon rv;
  ASSERT_TRUE(rv.start(args, env));
  expect_ended(rv, 1, err);
}

TcpXServer::~TcpXServer()
{
  if (running()) {
    signal(SIGTERM);
    wait_exit(5000);
  }
}

// The server writes its display number and a newline to the pipe once it
// is ready; it may write them one by one, and ends if the pipe is closed
// in between.
bool TcpXServer::start(const std::string& size)
{
  int fds[2];
  if (pipe(fds) < 0)
    return false;
  fcntl(fds[0], F_SETFD, FD_CLOEXEC);
  bool ok = Proc::start("/usr/bin/Xvfb", {"Xvfb", "-displayfd", std::to_string(fds[1]), "-noreset",
                                          "-listen", "tcp", "-screen", "0", size + "x24"});
  close(fds[1]);
  std::string line;
  pollfd pf = {fds[0], POLLIN, 0};
  char ch = 0;
  while (ok && ch != '\n' && poll(&pf, 1, 20000) == 1 && read(fds[0], &ch, 1) == 1)
    line += ch;
  close(fds[0]);
  if (ch != '\n' || sscanf(line.c_str(), "%d", &num) != 1)
    return false;
  return run("xstdcmap -display :" + std::to_string(num) + " -best") == 0;
}

int shm_segments(pid_t pid)
{
  std::ifstream f("/proc/sysvipc/shm");
  std::string line;
  std::getline(f, line);  // the heading
  int n = 0;
  while (std::getline(f, line)) {
    int cpid = 0;
    // key shmid perms size cpid
    n += sscanf(line.c_str(), "%*d %*d %*o %*u %d", &cpid) == 1 && cpid == pid;
  }
  return n;
}

long status_kb(pid_t pid, const char* field)
{
  std::ifstream f("/proc/" + std::to_string(pid) + "/status");
  std::string line, key = std::string(field) + ":";
  while (std::getline(f, line))
    if (line.compare(0, key.size(), key) == 0)
      return atol(line.c_str() + key.size());
  return -1;
}

int Shot::count(uint32_t c, int x0, int y0, int x1, int y1) const
{
  int n = 0;
  for (int y = y0 < 0 ? 0 : y0; y < y1 && y < h; y++)
    for (int x = x0 < 0 ? 0 : x0; x < x1 && x < w; x++)
      n += at(x, y) == c;
  return n;
}

int Shot::count_not(uint32_t c, int x0, int y0, int x1, int y1) const
{
  int cols = std::max(0, std::min(x1, w) - std::max(x0, 0));
  int rows = std::max(0, std::min(y1, h) - std::max(y0, 0));
  return cols * rows - count(c, x0, y0, x1, y1);
}

XView::XView(int s) : XView(display_name(s))
{
  scr = s;
}

XView::XView(const std::string& name) : dpy(XOpenDisplay(name.c_str())), scr(0)
{
  XErrorHandler old = XSetErrorHandler(ignore_view_errors);
  if (old != ignore_view_errors)
    previous_handler = old;
  views.push_back(dpy);
}

XView::~XView()
{
  views.erase(std::find(views.begin(), views.end(), dpy));
  if (dpy)
    XCloseDisplay(dpy);
}

Window XView::find_window(const char* name, int ms)
{
  Window w = 0;
  wait_until([&] { return (w = find_named(dpy, DefaultRootWindow(dpy), name)) != 0; }, ms);
  return w;
}

Window XView::find_descendant(Window top, int w, int h)
{
  int best = -1;
  return deepest_of_size(dpy, top, w, h, 0, best);
}

Window XView::find_popup(int ms)
{
  Window found = 0;
  wait_until(
      [&] {
        for (Window c : children(dpy, DefaultRootWindow(dpy))) {
          XWindowAttributes a;
          // Motif keeps a small override-redirect window off the screen.
          if (XGetWindowAttributes(dpy, c, &a) && a.override_redirect &&
              a.map_state == IsViewable && a.x >= 0 && a.y >= 0 && a.width > 1 && a.height > 1)
            found = c;
        }
        return found != 0;
      },
      ms);
  return found;
}

Shot XView::grab(Window w)
{
  Shot s;
  XWindowAttributes a;
  if (!XGetWindowAttributes(dpy, w, &a) || a.map_state != IsViewable)
    return s;
  XImage* img = XGetImage(dpy, w, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
  if (!img)
    return s;
  s.w = a.width;
  s.h = a.height;
  std::vector<unsigned long> px(static_cast<size_t>(s.w) * s.h);
  std::unordered_map<unsigned long, uint32_t> colours;
  for (int y = 0; y < s.h; y++)
    for (int x = 0; x < s.w; x++)
      colours[px[static_cast<size_t>(y) * s.w + x] = XGetPixel(img, x, y)] = 0;
  XDestroyImage(img);
  std::vector<XColor> q;
  for (auto& c : colours) {
    XColor xc;
    xc.pixel = c.first;
    q.push_back(xc);
  }
  XQueryColors(dpy, a.colormap, q.data(), static_cast<int>(q.size()));
  for (const XColor& xc : q)
    colours[xc.pixel] =
        static_cast<uint32_t>((xc.red >> 8) << 16 | (xc.green >> 8) << 8 | xc.blue >> 8);
  s.rgb.resize(px.size());
  for (size_t i = 0; i < px.size(); i++)
    s.rgb[i] = colours[px[i]];
  return s;
}

void XView::click(int rootx, int rooty)
{
  click_at(scr, rootx, rooty);
}

void XView::key(Window focus, const char* keys)
{
  run("DISPLAY=" + display_name(scr) + " xdotool windowfocus --sync " + std::to_string(focus) +
      " key " + keys);
}

void RavlonTest::start(std::vector<std::string> args, int scr, bool waiting)
{
  if (std::find(args.begin(), args.end(), "-p") == args.end()) {
    port = free_port();
    args.insert(args.end(), {"-p", std::to_string(port)});
  }
  std::string name = dpy_name.empty() ? display_name(scr) : dpy_name;
  xv.reset(dpy_name.empty() ? new XView(scr) : new XView(dpy_name));
  ASSERT_TRUE(rv.start(args, {"DISPLAY=" + name}));
  wnd = xv->find_window("Ravlon");
  ASSERT_NE(wnd, 0u) << rv.err();
  img = xv->find_descendant(wnd, 256, 256);
  ASSERT_NE(img, 0u);
  if (!waiting)
    return;
  ASSERT_TRUE(wait_until([&] { return waiting_lines(); }));
  if (port) {
    ASSERT_FALSE(listening_at(rv.pid, port).empty()) << "ravlon does not listen on port " << port;
  }
}

bool RavlonTest::waiting_lines()
{
  Shot s = xv->grab(img);
  return s.count_not(0, 0, 208, 256, 220) > 0 && s.count_not(0, 0, 222, 256, 256) == 0;
}

// A grab fails (and is empty) while the window reaches off the screen.
bool RavlonTest::shows(uint32_t rgb)
{
  Shot s = xv->grab(img);
  return s.w >= 256 && s.h >= 256 && s.count_not(rgb, 0, 0, 256, 256) == 0;
}

// The status line's lines joined by spaces, as its window property holds
// them.
std::string RavlonTest::status()
{
  Atom type;
  int format;
  unsigned long n, left;
  unsigned char* data = nullptr;
  std::string s;
  Atom prop = XInternAtom(xv->dpy, "RAVLON_STATUS", False);
  if (XGetWindowProperty(xv->dpy, wnd, prop, 0, 4096, False, AnyPropertyType, &type, &format, &n,
                         &left, &data) == Success &&
      data)
    s.assign(reinterpret_cast<char*>(data), n);
  if (data)
    XFree(data);
  std::replace(s.begin(), s.end(), '\n', ' ');
  return s;
}

bool RavlonTest::waiting()
{
  return status().find("Waiting for client connection on port " + std::to_string(port) + ".") !=
         std::string::npos;
}

void RavlonTest::quit()
{
  rv.signal(SIGINT);
  ASSERT_TRUE(rv.wait_exit());
  EXPECT_EQ(rv.status(), 0);
}

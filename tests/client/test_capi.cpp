// The C interface as C and Fortran programs use it: capi_client (C99,
// compiled as C) and the Fortran example run against the real ravlon, their
// pictures read back from the screen, or against a plain listening socket
// that takes their bytes as ravlon would.
#include "harness.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <utility>

#include "pattern.h"
#include "ravlon_client.h"

namespace {

typedef std::vector<unsigned char> Bytes;

// A socket listening on the loopback address of family, on a port the
// kernel picks; fd is -1 when the family has no loopback here.
struct Listener {
  explicit Listener(int family)
  {
    sockaddr_storage ss = {};
    socklen_t len = family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
    ss.ss_family = static_cast<sa_family_t>(family);
    if (family == AF_INET6)
      reinterpret_cast<sockaddr_in6&>(ss).sin6_addr = in6addr_loopback;
    else
      reinterpret_cast<sockaddr_in&>(ss).sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    fd = socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr* sa = reinterpret_cast<sockaddr*>(&ss);
    if (fd < 0 || bind(fd, sa, len) < 0 || listen(fd, 1) < 0 || getsockname(fd, sa, &len) < 0) {
      close(fd);
      fd = -1;
      return;
    }
    port = ntohs(family == AF_INET6 ? reinterpret_cast<sockaddr_in6&>(ss).sin6_port
                                    : reinterpret_cast<sockaddr_in&>(ss).sin_port);
  }
  // A Unix stream socket at path, made afresh.
  explicit Listener(const std::string& where) : path(where)
  {
    sockaddr_un sa = {};
    sa.sun_family = AF_UNIX;
    snprintf(sa.sun_path, sizeof sa.sun_path, "%s", path.c_str());
    unlink(path.c_str());
    fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    listen(fd, 1);
  }
  ~Listener()
  {
    close(fd);
    unlink(path.c_str());
  }

  // The connection waiting in the queue, or -1 after ms.
  int take(int ms = 5000)
  {
    pollfd p = {fd, POLLIN, 0};
    return poll(&p, 1, ms) == 1 ? accept4(fd, nullptr, nullptr, SOCK_CLOEXEC) : -1;
  }
  // True when s ends (its client has closed it) within ms.
  static bool ends(int s, int ms)
  {
    pollfd p = {s, POLLIN, 0};
    char b;
    return poll(&p, 1, ms) == 1 && recv(s, &b, 1, MSG_PEEK) == 0;
  }
  // Every byte the first client sent, up to its end; none when no client
  // came within ms.
  Bytes received(int ms = 5000)
  {
    Bytes v;
    int s = take(ms);
    unsigned char b[4096];
    ssize_t n;
    while (s >= 0 && (n = recv(s, b, sizeof b, 0)) > 0)
      v.insert(v.end(), b, b + n);
    close(s);
    return v;
  }

  int fd = -1;
  int port = 0;
  std::string path;  // of a Unix socket
};

std::string write_file(const std::string& name, const std::string& bytes)
{
  const std::string path = testing::TempDir() + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

void put_ints(Bytes& v, std::initializer_list<int> ints)
{
  for (int i : ints)
    for (int shift = 24; shift >= 0; shift -= 8)
      v.push_back(static_cast<unsigned char>(static_cast<unsigned>(i) >> shift));
}

}  // namespace

// Every call with a bad argument fails with EINVAL and sends nothing: the
// listener on ::1 gets only the two grey frames, the first with its resize,
// transposed to columns, then the end of the server.
TEST(CApi, BadArgumentsSendNothingAndFramesArriveOverIPv6)
{
  Listener l(AF_INET6);
  if (l.fd < 0)
    GTEST_SKIP() << "no IPv6 loopback here";
  ASSERT_EQ(run(std::string(CAPI_CLIENT) + " ::1 " + std::to_string(l.port) + " bad"), 0);
  Bytes planes;
  for (int x = 0; x < 3; x++)
    for (int y = 0; y < 2; y++)
      planes.push_back(pattern(x, y, 0));
  Bytes want;
  put_ints(want, {RAVLON_REQ_RESIZE, 3, 2});
  for (int frame = 0; frame < 2; frame++) {
    put_ints(want, {RAVLON_REQ_COLRGB, 6});
    for (int plane = 0; plane < 3; plane++)
      want.insert(want.end(), planes.begin(), planes.end());
  }
  put_ints(want, {RAVLON_REQ_DISCONNECT});
  EXPECT_EQ(l.received(), want);
}

// A program that cannot reach ravlon, or read its key, learns why: NULL,
// errno and a message. "no..host" cannot be a host's name, so the resolver
// refuses it without asking a name server, online or not. An empty
// $RAVLON_KEYFILE is as good as none.
TEST(CApi, FailedConnectsSayWhy)
{
  const std::string refused = std::to_string(free_port());
  const std::string short_key = write_file("ravlon-short-key", "12345");
  const struct {
    std::string host, port, keyfile, message;
    int err;
  } cases[] = {
      {"127.0.0.1", refused, "",
       "cannot connect to 127.0.0.1 port " + refused + ": Connection refused", ECONNREFUSED},
      {"no..host", "9999", "", "cannot resolve no..host: ", EHOSTUNREACH},
      {"unix:/nonexistent/ravlon", "9999", "",
       "cannot connect to /nonexistent/ravlon: No such file or directory", ENOENT},
      {"127.0.0.1", refused, "/nonexistent/key",
       "cannot read the key file /nonexistent/key: No such file or directory", ENOENT},
      {"127.0.0.1", refused, short_key,
       "the key file " + short_key + " holds 5 bytes, fewer than a key's 16", EINVAL},
  };
  for (const auto& k : cases) {
    Proc p;
    ASSERT_TRUE(p.start(CAPI_CLIENT, {"capi_client", k.host, k.port, "gray", "2", "2", "2"},
                        {"RAVLON_KEYFILE=" + k.keyfile}));
    ASSERT_TRUE(p.wait_exit());
    EXPECT_EQ(p.status(), 1) << k.host;
    EXPECT_EQ(p.err().rfind("capi_client: " + k.message, 0), 0u) << p.err();
    EXPECT_NE(p.err().find("[errno " + std::to_string(k.err) + "]\n"), std::string::npos)
        << p.err();
  }
}

// Each address form reaches the socket it names, the key request first:
// this host's names go through ravlon's local socket while one answers
// there, over TCP when it is missing or stale; tcp: never goes through it,
// unix: nowhere else.
TEST(CApi, AddressFormsReachTheSocketTheyNameKeyFirst)
{
  const std::string key = "0123456789abcdef";
  const std::string keyfile = write_file("ravlon-key", key + " and what follows");
  Bytes want;
  put_ints(want, {RAVLON_REQ_KEY});
  want.insert(want.end(), key.begin(), key.end());
  Listener tcp(AF_INET);
  Listener other(testing::TempDir() + "ravlon-other");
  mkdir(RAVLON_UNIX_DIR, 01777);  // as ravlon makes it
  const std::string local_path = RAVLON_UNIX_DIR "/" + std::to_string(tcp.port);
  enum LocalSocket { NONE, LIVE, STALE };
  const struct {
    LocalSocket local;
    std::string address, reached;
  } cases[] = {
      {LIVE, "", "local"},
      {LIVE, "localhost", "local"},
      {LIVE, host_name(), "local"},
      {LIVE, "unix:", "local"},
      {LIVE, "unix:" + other.path, "other"},
      {LIVE, "tcp:localhost", "tcp"},
      {LIVE, "127.0.0.1", "tcp"},
      {NONE, "localhost", "tcp"},
      {STALE, "localhost", "tcp"},
      {NONE, "unix:", "nothing"},
  };
  for (const auto& k : cases) {
    Listener local(k.local == NONE ? "" : local_path);
    if (k.local == STALE)
      close(std::exchange(local.fd, -1));  // its file stays, as that of a ravlon that died
    RavlonClient c;
    EXPECT_EQ(c.connect(k.address.c_str(), tcp.port, keyfile.c_str()),
              k.reached == "nothing" ? -1 : 0);
    c.close();
    const std::pair<std::string, Listener*> at[] = {
        {"tcp", &tcp}, {"other", &other}, {"local", &local}};
    for (const auto& l : at)
      EXPECT_EQ(l.second->received(0), l.first == k.reached ? want : Bytes())
          << "\"" << k.address << "\" at " << l.first;
  }
}

// A child the client starts does not hold its connection: closed by the
// client, it ends at once while the child still runs.
TEST(CApi, ChildrenDoNotInheritTheConnection)
{
  Listener l(AF_INET);
  RavlonClient c;
  ASSERT_EQ(c.connect("127.0.0.1", l.port), 0);
  int s = l.take();
  ASSERT_GE(s, 0);
  pid_t child;
  char sleep_arg[] = "sleep";
  char seconds[] = "10";
  char* argv[] = {sleep_arg, seconds, nullptr};
  ASSERT_EQ(posix_spawnp(&child, "sleep", nullptr, nullptr, argv, environ), 0);
  c.close();
  EXPECT_TRUE(Listener::ends(s, 3000));
  EXPECT_EQ(waitpid(child, nullptr, WNOHANG), 0);
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  close(s);
}

// A server that has gone away fails the next calls with EPIPE (or a reset);
// the program is not killed by SIGPIPE.
TEST(CApi, AServerGoneIsAFailedCallNotASignal)
{
  Listener l(AF_INET);
  RavlonClient c;
  ASSERT_EQ(c.connect("127.0.0.1", l.port), 0);
  close(l.take());
  std::vector<unsigned char> frame(65536);
  int r = 0;
  for (int i = 0; i < 100 && r == 0; i++)
    r = c.show_gray(frame.data(), 256, 256, 256);
  EXPECT_EQ(r, -1);
  EXPECT_TRUE(errno == EPIPE || errno == ECONNRESET) << strerror(errno);
}

namespace {

// ravlon shows what the programs send; once a client has gone, ravlon
// clears the lower half of the picture for its waiting lines, so the upper
// half is what stays to be compared.
class CApiShows : public RavlonTest {
protected:
  // Pixels of the upper half of the w x h picture that differ from
  // want(x, y) (0xRRGGBB); -1 while no picture of that size is there.
  int wrong(int w, int h, const std::function<uint32_t(int, int)>& want)
  {
    Window im = xv->find_descendant(wnd, w, h);
    Shot s = im ? xv->grab(im) : Shot();
    if (s.w != w || s.h != h)
      return -1;
    int bad = 0;
    for (int y = 0; y < h / 2; y++)
      for (int x = 0; x < w; x++)
        bad += s.at(x, y) != want(x, y);
    return bad;
  }
};

uint32_t grey(int v)
{
  return static_cast<uint32_t>(v) * 0x010101;
}

#ifdef SHOW_FIELD
// The Fortran example's field, a saddle scaled from its minimum to its
// maximum.
uint32_t saddle(int x, int y)
{
  auto f = [](int i, int j) { return (i - 160) * (j - 100); };
  const int lo = f(319, 0);
  const int hi = f(0, 0);
  return grey(255 * (f(x, y) - lo) / (hi - lo));
}
#endif

}  // namespace

// Row-major RGB and grey, not square, rows further apart than they are
// long, a 16-bit frame with a region in it through a grey view, and a
// Fortran program's 2-D field: exact on the screen.
TEST_F(CApiShows, RowMajorImagesAndAFortranFieldExactly)
{
  ASSERT_NO_FATAL_FAILURE(start());
  const std::string at = " " + host_name() + " " + std::to_string(port);
  const struct {
    std::string command;
    int w, h;
    std::function<uint32_t(int, int)> want;
  } cases[] = {
      {CAPI_CLIENT + at + " rgb 300 200 905", 300, 200,
       [](int x, int y) {
         return static_cast<uint32_t>(pattern(x, y, 0) << 16 | pattern(x, y, 1) << 8 |
                                      pattern(x, y, 2));
       }},
      {CAPI_CLIENT + at + " gray 250 90 256", 250, 90,
       [](int x, int y) { return grey(pattern(x, y, 0)); }},
      {CAPI_CLIENT + at + " typed", 64, 48,
       [](int x, int y) {
         const bool in = x >= 10 && x < 30 && y >= 4 && y < 16;
         return grey(in ? 255 - pattern(x, y, 0) : pattern(x, y, 0));
       }},
#ifdef SHOW_FIELD
      {SHOW_FIELD + at, 320, 200, saddle},
#endif
  };
  for (const auto& k : cases) {
    ASSERT_EQ(run(k.command), 0) << k.command;
    int bad = -1;
    wait_until([&] { return (bad = wrong(k.w, k.h, k.want)) == 0; }, 5000);
    EXPECT_EQ(bad, 0) << k.command;
  }
  quit();
  EXPECT_EQ(rv.err(), "");
}

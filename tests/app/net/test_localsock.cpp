// The local socket and the key, as a user on this host meets them: real
// Unix and TCP clients, another user's client (run through setpriv), the
// socket file before, during and after each way ravlon ends, and the key
// file ravlon makes.
#include "harness.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <iterator>

#include "netclient.h"
#include "ravlon_protocol.h"

namespace {

class LocalSocket : public RavlonTest {
protected:
  std::string path() const { return std::string(RAVLON_UNIX_DIR) + "/" + std::to_string(port); }
  // A client through the local socket at at (path() when empty) or over
  // TCP sends first and a frame of colour rgb, which the image then shows.
  void frame_shown(bool local, const Bytes& first, uint32_t rgb, const std::string& at = "")
  {
    int s = local ? dial_local(at.empty() ? path() : at) : dial(host_name(), port);
    ASSERT_GE(s, 0) << local;
    ASSERT_TRUE(send_bytes(s, first + rgb_frame(rgb, 65536)));
    EXPECT_TRUE(wait_until([&] { return shows(rgb); })) << local;
    close(s);
  }
};

bool exists(const std::string& p)
{
  struct stat st;
  return lstat(p.c_str(), &st) == 0;
}

// A Unix socket bound at p; listening, or closed at once so that only a
// stale file stays.
int bound_at(const std::string& p, bool live)
{
  int s = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un sa;
  memset(&sa, 0, sizeof sa);
  sa.sun_family = AF_UNIX;
  snprintf(sa.sun_path, sizeof sa.sun_path, "%s", p.c_str());
  mkdir(RAVLON_UNIX_DIR, 01777);
  if (bind(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa) < 0 || (live && listen(s, 1) < 0)) {
    close(s);
    return -1;
  }
  if (!live) {
    close(s);
    return 0;
  }
  return s;
}

// The address ravlon sees for the TCP client s, as it writes it.
std::string source_of(int s)
{
  sockaddr_storage ss;
  socklen_t len = sizeof ss;
  char text[64] = "";
  if (getsockname(s, reinterpret_cast<sockaddr*>(&ss), &len) == 0)
    getnameinfo(reinterpret_cast<sockaddr*>(&ss), len, text, sizeof text, nullptr, 0,
                NI_NUMERICHOST);
  return text;
}

Bytes key_request(const Bytes& key)
{
  return ints({RAVLON_REQ_KEY}) + key;
}

}  // namespace

// Clients of both sockets wait in one queue and are served in the order
// they came; a client of another user is refused at once, with the line
// allowFrom writes, and draws nothing. The directory is every user's, as
// X's, and the status line names the socket.
TEST_F(LocalSocket, ServesItsOwnUserInTurnWithTcpClients)
{
  start();
  struct stat dir;
  ASSERT_EQ(lstat(RAVLON_UNIX_DIR, &dir), 0);
  EXPECT_EQ(dir.st_mode & 07777, 01777u);
  EXPECT_EQ(dir.st_uid, 0u);
  int first = dial_local(path());
  ASSERT_GE(first, 0);
  ASSERT_TRUE(send_bytes(first, rgb_frame(0xff0000, 65536)));
  ASSERT_TRUE(wait_until([&] { return shows(0xff0000); }));
  EXPECT_TRUE(wait_until([&] { return status().find("from unix:" + path()) != std::string::npos; }))
      << status();

  const uint32_t colours[] = {0x00ff00, 0x0000ff, 0xffff00};
  int waiting[3];
  for (int i = 0; i < 3; i++) {
    waiting[i] = i % 2 ? dial(host_name(), port) : dial_local(path());
    ASSERT_GE(waiting[i], 0);
    ASSERT_TRUE(send_bytes(waiting[i], rgb_frame(colours[i], 65536)));
    usleep(100000);  // each taken before the next comes
  }
  ASSERT_EQ(access("/usr/bin/setpriv", X_OK), 0) << "setpriv runs the other user's client";
  Proc other;
  const char* client =
      "import socket, sys\n"
      "s = socket.socket(socket.AF_UNIX)\n"
      "s.connect(sys.argv[1])\n"
      "sys.exit(0 if s.recv(1) == b'' else 1)\n";  // closed at once
  ASSERT_TRUE(other.start("/usr/bin/setpriv",
                          {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                           "/usr/bin/python3", "-c", client, path()}));
  expect_ended(other, 0, "");
  const std::string refused = "ravlon: refused connection from unix:" + path() + "\n";
  EXPECT_TRUE(wait_until([&] { return rv.err() == refused; })) << rv.err();
  close(first);
  for (int i = 0; i < 3; i++) {
    EXPECT_TRUE(wait_until([&] { return shows(colours[i]); })) << i;
    close(waiting[i]);
  }
  quit();
  EXPECT_EQ(rv.err(), refused);
}

// The socket is where unixSocket says (none: nowhere), a stale one is
// replaced, and the path is gone after each way of ending; a live one
// ends the start-up with one line.
TEST_F(LocalSocket, StaleReplacedLiveRefusedAndGoneAtEveryEnd)
{
  enum End { SIGINT_END, META_Q, DISCONNECT };
  struct Case {
    std::string value;  // of unixSocket, "" unset
    bool stale;
    End end;
  };
  const std::string own = "/tmp/ravlon-test-local-" + std::to_string(getpid());
  const Case cases[] = {{"", true, DISCONNECT},
                        {own, false, META_Q},
                        {"", false, SIGINT_END},
                        {"none", false, META_Q}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    port = free_port();
    const std::string at = c.value.empty() ? path() : c.value;
    if (c.stale) {
      ASSERT_EQ(bound_at(at, false), 0);
    }
    std::vector<std::string> args{"-p", std::to_string(port)};
    if (!c.value.empty())
      args.insert(args.end(), {"-xrm", "ravlon.unixSocket: " + c.value});
    start(args);
    EXPECT_EQ(exists(at), c.value != "none");
    if (c.value != "none")
      frame_shown(true, {}, 0x00ff00, at);
    EXPECT_EQ(exists(path()), c.value.empty());
    if (c.end == SIGINT_END) {
      quit();
    } else if (c.end == META_Q) {
      xv->key(wnd, "alt+q");
    } else {
      int s = dial(host_name(), port);
      send_bytes(s, ints({RAVLON_REQ_DISCONNECT}));
      close(s);
    }
    expect_ended(rv, 0, "");
    EXPECT_FALSE(exists(at));
  }
  port = free_port();
  int live = bound_at(path(), true);
  ASSERT_GE(live, 0);
  expect_failure(
      {"-p", std::to_string(port)}, {"DISPLAY=" + display_name(0)},
      "ravlon: Cannot bind local socket " + path() + ": another ravlon listens there.\n");
  EXPECT_TRUE(exists(path()));
  close(live);
  unlink(path().c_str());
}

// With keyFile set ravlon makes the file (this user's alone) and serves,
// on either socket, only clients that send its key first; another start
// keeps the key. Clients with no key or another are closed, with a line.
TEST_F(LocalSocket, KeyFileAdmitsOnlyItsKeyOnBothSockets)
{
  char dir[] = "/tmp/ravlon-test-key.XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string file = std::string(dir) + "/key";
  const std::vector<std::string> args{"-xrm", "ravlon.keyFile: " + file};
  start(args);
  struct stat st;
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  std::ifstream in(file, std::ios::binary);
  const Bytes key{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ASSERT_EQ(key.size(), static_cast<size_t>(RAVLON_KEY_BYTES));
  Bytes other = key;
  other[RAVLON_KEY_BYTES - 1] ^= 1;
  struct Case {
    Bytes first;
    bool served;
  };
  const Case cases[] = {{key_request(key), true}, {{}, false}, {key_request(other), false}};
  std::string err;
  uint32_t rgb = 0x010203;
  for (bool local : {true, false}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(local ? "local" : "tcp") + (c.served ? " key" : " no key"));
      rgb += 0x202020;
      if (c.served) {
        frame_shown(local, c.first, rgb);
        continue;
      }
      int s = local ? dial_local(path()) : dial(host_name(), port);
      ASSERT_GE(s, 0);
      send_bytes(s, c.first + rgb_frame(rgb, 65536));  // may meet the close already
      const std::string from = local ? "unix:" + path() : source_of(s);
      err += "ravlon: refused connection from " + from + " (no key)\n";
      EXPECT_TRUE(wait_until([&] { return rv.err() == err; })) << rv.err();
      EXPECT_TRUE(closed_by_peer(s));
      close(s);
      EXPECT_EQ(xv->grab(img).count(rgb, 0, 0, 256, 256), 0);
    }
  }
  quit();
  EXPECT_EQ(rv.err(), err);
  start(args);
  frame_shown(true, key_request(key), 0x123456);
  quit();
  EXPECT_EQ(rv.err(), "");
  unlink(file.c_str());
  rmdir(dir);
}

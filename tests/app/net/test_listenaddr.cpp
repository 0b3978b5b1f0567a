// Where ravlon listens and whom it lets in, as the user chooses them with
// the listenAddress and allowFrom resources (here from the file
// XENVIRONMENT names): the kernel's table of listening sockets, real
// clients of both address families, and the pictures they send.
#include "harness.h"

#include <cstdlib>
#include <cstring>
#include <fstream>

#include "netclient.h"

namespace {

class ListenAddress : public RavlonTest {
protected:
  void SetUp() override
  {
    char tmpl[] = "/tmp/ravlon-test-rsrc.XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
  }
  void TearDown() override
  {
    unsetenv("XENVIRONMENT");
    unsetenv("XAPPLRESDIR");
    run("rm -rf " + dir);
  }
  // Resource lines the next ravlon reads, and only those: from the file
  // that XENVIRONMENT names, or from an app-defaults file (named by the
  // class) in the directory XAPPLRESDIR names.
  void resources(const std::string& lines, bool app_defaults = false)
  {
    unsetenv("XENVIRONMENT");
    unsetenv("XAPPLRESDIR");
    std::string file = dir + (app_defaults ? "/Ravlon" : "/env");
    std::ofstream(file) << lines;
    setenv(app_defaults ? "XAPPLRESDIR" : "XENVIRONMENT", (app_defaults ? dir : file).c_str(), 1);
  }

  // A client from from (any source when empty) to to sends a frame of
  // colour rgb, which the image then shows.
  void frame_shown(const std::string& to, const std::string& from, uint32_t rgb)
  {
    int s = dial(to, port, from);
    ASSERT_GE(s, 0) << to;
    ASSERT_TRUE(send_bytes(s, rgb_frame(rgb, 65536)));
    EXPECT_TRUE(wait_until([&] { return shows(rgb); })) << to;
    // The status line names it as given: IPv4 dotted, also on the
    // dual-stack socket of any.
    if (!from.empty()) {
      EXPECT_TRUE(wait_until([&] { return status().find("from " + from) != std::string::npos; }))
          << status();
    }
    close(s);
  }

  std::string dir;
};

}  // namespace

// Every form of the value, set by class in the application's app-defaults
// file too; any listens on both families with one socket. Unset, or set to
// nothing: the address of the host's own name. Each address is reached by
// a client whose frame is shown.
TEST_F(ListenAddress, ListensWhereTheResourceSaysAndIsReachedThere)
{
  const std::string own = host_address();
  ASSERT_NE(own, "");
  struct Where {
    const char* lines;
    bool in_app_defaults;
    std::vector<std::string> listening;
    std::vector<std::string> reached_at;
  };
  // Another loopback address than the host name's (which may be
  // 127.0.0.1) shows that the app-defaults file was read.
  const Where cases[] = {
      {"ravlon.listenAddress: any\n", false, {"::"}, {"127.0.0.1", "::1"}},
      {"ravlon.listenAddress: ::1\n", false, {"::1"}, {"::1"}},
      {"ravlon.listenAddress: 127.0.0.1\n", false, {"127.0.0.1"}, {"127.0.0.1"}},
      {"Ravlon.ListenAddress: 127.0.0.2\n", true, {"127.0.0.2"}, {"127.0.0.2"}},
      {"", false, {own}, {own}},
      {"ravlon.listenAddress:\n", false, {own}, {own}},
  };
  for (const Where& w : cases) {
    SCOPED_TRACE(w.lines);
    resources(w.lines, w.in_app_defaults);
    start();
    EXPECT_EQ(listening_at(rv.pid, port), w.listening);
    uint32_t rgb = 0xff0000;
    for (const std::string& a : w.reached_at) {
      frame_shown(a, a, rgb);
      rgb >>= 8;
    }
    quit();
    EXPECT_EQ(rv.err(), "");
  }
}

// A server that cannot be reached, or a malformed allowFrom entry, ends
// the start-up before any window opens: one line (naming the entry, or the
// port and the system's reason) and status 1. 2001:db8::1 is a
// documentation address, on no interface of any machine; nothing is sent
// to it.
TEST_F(ListenAddress, StartupEndsWhereItCannotListenOrAllowFromIsMalformed)
{
  struct Case {
    std::string lines;
    bool port_taken;
    std::string err;
  };
  port = free_port();
  const std::string bind_line =
      "ravlon: Cannot bind control socket. Port " + std::to_string(port) + ": ";
  std::vector<Case> cases = {
      {"ravlon.listenAddress: nosuch.invalid\n", false,
       "ravlon: Cannot resolve listenAddress nosuch.invalid.\n"},
      {"ravlon.listenAddress: 2001:db8::1\n", false,
       bind_line + "Cannot assign requested address.\n"},
      {"", true, bind_line + "Address already in use.\n"},
  };
  const char* const bad[][2] = {
      {"10.1.0.0/33", "10.1.0.0/33"}, {"::1/129", "::1/129"},
      {"localhost", "localhost"},     {"127.0.0.1/", "127.0.0.1/"},
      {"1.2.3.4/+8", "1.2.3.4/+8"},   {"::1, 10.0.0.0/8 1.2.3", "1.2.3"},
  };
  for (const auto& b : bad)
    cases.push_back({std::string("ravlon.allowFrom: ") + b[0] + "\n", false,
                     std::string("ravlon: Malformed allowFrom entry ") + b[1] + ".\n"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    resources(c.lines);
    int held = c.port_taken ? hold_port(port) : -1;
    ASSERT_EQ(held >= 0, c.port_taken);
    expect_failure({"-p", std::to_string(port)}, {"DISPLAY=" + display_name(0)}, c.err);
    if (held >= 0)
      close(held);
  }
}

// Peers the list does not name are closed before a byte of theirs is read,
// with a line on standard error and no window; the others are served.
// Source addresses are bound before connecting (all of 127/8 is this
// host's). Through the wildcard an IPv4 peer matches the IPv4 entries
// only: ::/0 is every IPv6 peer, not every peer.
TEST_F(ListenAddress, AllowFromAdmitsOnlyTheAddressesItNames)
{
  struct Peer {
    const char* from;
    const char* to;
    bool admitted;
  };
  struct Case {
    const char* lines;
    std::vector<Peer> peers;
  };
  const Case cases[] = {
      {"ravlon.listenAddress: 127.0.0.1\nravlon.allowFrom: 127.0.0.2\n",
       {{"127.0.0.1", "127.0.0.1", false}, {"127.0.0.2", "127.0.0.1", true}}},
      {"ravlon.listenAddress: any\nravlon.allowFrom: ::/0, 127.0.0.0/31\n",
       {{"127.0.0.2", "127.0.0.1", false}, {"::1", "::1", true}, {"127.0.0.1", "127.0.0.1", true}}},
  };
  const uint32_t stranger = 0xff00ff;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    resources(c.lines);
    start();
    std::string err;
    uint32_t rgb = 0xff0000;
    for (const Peer& p : c.peers) {
      SCOPED_TRACE(p.from);
      if (p.admitted) {
        frame_shown(p.to, p.from, rgb);
        rgb >>= 8;
        continue;
      }
      int s = dial(p.to, port, p.from);
      ASSERT_GE(s, 0);
      send_bytes(s, rgb_frame(stranger, 65536));  // may meet the close already
      err += std::string("ravlon: refused connection from ") + p.from + "\n";
      EXPECT_TRUE(wait_until([&] { return rv.err() == err; })) << rv.err();
      EXPECT_TRUE(closed_by_peer(s));
      close(s);
      EXPECT_EQ(xv->grab(img).count(stranger, 0, 0, 256, 256), 0);
    }
    EXPECT_EQ(xv->find_window("Error", 0), 0u);
    quit();
    EXPECT_EQ(rv.err(), err);
  }
}

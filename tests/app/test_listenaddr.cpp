// The address ravlon listens on, as the user chooses it with the
// listenAddress resource (here from the file XENVIRONMENT names), seen in
// the kernel's table of listening sockets and by a real client.
#include "harness.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/tcp.h>

#include <cstdlib>
#include <cstring>
#include <fstream>

#include "ravlon_client.h"

namespace {

class ListenAddress : public RavlonTest {
protected:
  // Resource lines every ravlon of the test reads: from the file that
  // XENVIRONMENT names, or from an app-defaults file (named by the class)
  // in the directory XAPPLRESDIR names.
  void resources(const std::string& lines, bool app_defaults = false)
  {
    std::string file = dir() + (app_defaults ? "/Ravlon" : "/env");
    std::ofstream(file) << lines;
    if (app_defaults)
      setenv("XAPPLRESDIR", dir().c_str(), 1);
    else
      setenv("XENVIRONMENT", file.c_str(), 1);
  }
  void TearDown() override
  {
    unsetenv("XENVIRONMENT");
    unsetenv("XAPPLRESDIR");
    if (!tmpdir.empty())
      run("rm -rf " + tmpdir);
    tmpdir.clear();
  }
  const std::string& dir()
  {
    char tmpl[] = "/tmp/ravlon-test-rsrc.XXXXXX";
    if (tmpdir.empty() && mkdtemp(tmpl))
      tmpdir = tmpl;
    return tmpdir;
  }

  // ravlon, started now, listens on a alone (0.0.0.0 being every
  // interface), a client gets through to it there, and it quits cleanly.
  void serves_at(in_addr a)
  {
    start();
    std::vector<unsigned> listening;
    for (const TcpSocket& t : tcp_sockets(rv.pid))
      if (t.local_port == port && t.state == TCP_LISTEN)
        listening.push_back(t.local_addr);
    EXPECT_EQ(listening, std::vector<unsigned>{a.s_addr});
    RavlonClient c;
    EXPECT_EQ(c.connect(a.s_addr == htonl(INADDR_ANY) ? "127.0.0.1" : inet_ntoa(a), port), 0);
    quit();
    EXPECT_EQ(rv.err(), "");
  }

  std::string tmpdir;
};

}  // namespace

// Every form of the value; set by class in the application's app-defaults
// file too. Unset, or set to nothing: the address of the host's own name.
TEST_F(ListenAddress, ListensWhereTheResourceSays)
{
  hostent* he = gethostbyname(host_name().c_str());
  ASSERT_TRUE(he && he->h_addrtype == AF_INET);
  in_addr own;
  memcpy(&own, he->h_addr_list[0], sizeof own);
  struct Where {
    const char* lines;
    bool in_app_defaults;
    const char* dotted;  // nullptr: own
  };
  // Another loopback address than the host name's (which may be
  // 127.0.0.1) shows that the app-defaults file was read.
  const Where cases[] = {
      {"ravlon.listenAddress: any\n", false, "0.0.0.0"},
      {"ravlon.listenAddress: 127.0.0.1\n", false, "127.0.0.1"},
      {"Ravlon.ListenAddress: 127.0.0.2\n", true, "127.0.0.2"},
      {"", false, nullptr},
      {"ravlon.listenAddress:\n", false, nullptr},
  };
  for (const Where& w : cases) {
    SCOPED_TRACE(w.lines);
    resources(w.lines, w.in_app_defaults);
    in_addr a = own;
    if (w.dotted)
      a.s_addr = inet_addr(w.dotted);
    serves_at(a);
    TearDown();
  }
}

// Before any window opens: one line and status 1.
TEST_F(ListenAddress, NameThatDoesNotResolveEndsStartup)
{
  resources("ravlon.listenAddress: nosuch.invalid\n");
  ASSERT_TRUE(rv.start({"-p", std::to_string(free_port())}, {"DISPLAY=" + display_name(0)}));
  ASSERT_TRUE(rv.wait_exit());
  EXPECT_EQ(rv.status(), 1);
  EXPECT_EQ(rv.err(), "ravlon: Cannot resolve listenAddress nosuch.invalid.\n");
}

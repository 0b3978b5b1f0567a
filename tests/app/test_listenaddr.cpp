// The address ravlon listens on, as the user chooses it with the
// listenAddress resource (here from the file XENVIRONMENT names), seen in
// the kernel's table of listening sockets and by a real client.
#include "harness.h"

#include <arpa/inet.h>
#include <netdb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "ravlon_client.h"

namespace {

in_addr address(const char* dotted)
{
  in_addr a;
  a.s_addr = inet_addr(dotted);
  return a;
}

// A TCP socket in the LISTEN state on exactly a:port (/proc/net/tcp shows
// the address as the hex of its 32-bit word).
bool listens_on(in_addr a, int port)
{
  char want[32];
  snprintf(want, sizeof want, "%08X:%04X", a.s_addr, port);
  std::ifstream f("/proc/net/tcp");
  std::string line;
  while (std::getline(f, line)) {
    std::istringstream fields(line);
    std::string slot, local, remote, state;
    fields >> slot >> local >> remote >> state;
    if (local == want && state == "0A")
      return true;
  }
  return false;
}

void write_file(const std::string& path, const std::string& text)
{
  std::ofstream f(path);
  f << text;
}

class ListenAddress : public RavlonTest {
protected:
  // Resource lines every ravlon of the test reads: from the file that
  // XENVIRONMENT names, or from an app-defaults file (named by the class)
  // in the directory XAPPLRESDIR names.
  void resources(const std::string& lines)
  {
    write_file(dir() + "/env", lines);
    setenv("XENVIRONMENT", (dir() + "/env").c_str(), 1);
  }
  void app_defaults(const std::string& lines)
  {
    write_file(dir() + "/Ravlon", lines);
    setenv("XAPPLRESDIR", dir().c_str(), 1);
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

  // A client gets through to the server at host.
  bool reachable(const char* host)
  {
    RavlonClient c;
    return c.connect(host, port) == 0;
  }

  // ravlon, started now, listens on a (on a alone unless a is every
  // interface), a client gets through to it there, and it quits cleanly.
  void serves_at(in_addr a)
  {
    bool every = a.s_addr == htonl(INADDR_ANY);
    start();
    EXPECT_TRUE(listens_on(a, port));
    EXPECT_EQ(listens_on(address("0.0.0.0"), port), every);
    EXPECT_TRUE(reachable(every ? "127.0.0.1" : inet_ntoa(a)));
    quit();
    EXPECT_EQ(rv.err(), "");
  }

  std::string tmpdir;
};

}  // namespace

TEST_F(ListenAddress, AnyListensOnEveryInterface)
{
  resources("ravlon.listenAddress: any\n");
  serves_at(address("0.0.0.0"));
}

TEST_F(ListenAddress, DottedAddress)
{
  resources("ravlon.listenAddress: 127.0.0.1\n");
  serves_at(address("127.0.0.1"));
}

// Set by class, in the application's app-defaults file. Another loopback
// address than the host name's (which may be 127.0.0.1) shows that it was
// read.
TEST_F(ListenAddress, SetByClassInAppDefaults)
{
  app_defaults("Ravlon.ListenAddress: 127.0.0.2\n");
  serves_at(address("127.0.0.2"));
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

// Unset, or set to nothing: the address of the host's own name.
TEST_F(ListenAddress, UnsetListensOnTheHostsAddress)
{
  hostent* he = gethostbyname(host_name().c_str());
  ASSERT_TRUE(he && he->h_addrtype == AF_INET);
  in_addr own;
  memcpy(&own, he->h_addr_list[0], sizeof own);
  for (const char* lines : {"", "ravlon.listenAddress:\n"}) {
    SCOPED_TRACE(lines);
    resources(lines);
    serves_at(own);
    TearDown();
  }
}

// The address ravlon listens on, as the user chooses it with the
// listenAddress resource (here from the file XENVIRONMENT names), seen in
// the kernel's table of listening sockets and by a real client.
#include "harness.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
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

class ListenAddress : public RavlonTest {
protected:
  // The resource lines every ravlon of the test reads.
  void resources(const std::string& lines)
  {
    char tmpl[] = "/tmp/ravlon-test-rsrc.XXXXXX";
    int fd = mkstemp(tmpl);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, lines.data(), lines.size()), static_cast<ssize_t>(lines.size()));
    close(fd);
    file = tmpl;
    setenv("XENVIRONMENT", tmpl, 1);
  }
  void TearDown() override
  {
    unsetenv("XENVIRONMENT");
    if (!file.empty())
      unlink(file.c_str());
  }

  // A client gets through to the server at host.
  bool reachable(const char* host)
  {
    RavlonClient c;
    return c.connect(host, port) == 0;
  }

  std::string file;
};

}  // namespace

TEST_F(ListenAddress, AnyListensOnEveryInterface)
{
  resources("ravlon.listenAddress: any\n");
  start();
  EXPECT_TRUE(listens_on(address("0.0.0.0"), port));
  EXPECT_TRUE(reachable("127.0.0.1"));
  EXPECT_TRUE(reachable(host_name().c_str()));
  quit();
  EXPECT_EQ(rv.err(), "");
}

// Set by class, as an app-defaults file or a site-wide file would.
TEST_F(ListenAddress, DottedAddressByClass)
{
  resources("Ravlon.ListenAddress: 127.0.0.1\n");
  start();
  EXPECT_TRUE(listens_on(address("127.0.0.1"), port));
  EXPECT_FALSE(listens_on(address("0.0.0.0"), port));
  EXPECT_TRUE(reachable("127.0.0.1"));
  quit();
  EXPECT_EQ(rv.err(), "");
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
    resources(lines);
    start();
    EXPECT_TRUE(listens_on(own, port)) << lines;
    EXPECT_FALSE(listens_on(address("0.0.0.0"), port)) << lines;
    quit();
    EXPECT_EQ(rv.err(), "");
    TearDown();
  }
}

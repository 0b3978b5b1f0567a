// A client that floods the real ravlon with requests costing far more work
// than bytes: while it keeps sending, SIGINT and Meta+Q end ravlon at
// once, on both picture paths.
#include "harness.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <thread>

#include "net/protocol.h"
#include "netclient.h"

namespace {

// Sends req over and over, as fast as ravlon takes it, until ravlon
// closes the connection or the flood goes out of scope.
class Flood {
public:
  Flood(int s, const Bytes& req) : sock(s)
  {
    while (chunk.size() < 65536)
      chunk.insert(chunk.end(), req.begin(), req.end());
    thread = std::thread([this] { run(); });
  }
  ~Flood()
  {
    halt = true;
    thread.join();
    close(sock);
  }

private:
  void run()
  {
    size_t at = 0;
    pollfd p = {sock, POLLOUT, 0};
    while (!halt) {
      if (poll(&p, 1, 100) != 1)
        continue;
      ssize_t n = send(sock, chunk.data() + at, chunk.size() - at, MSG_NOSIGNAL | MSG_DONTWAIT);
      if (n < 0 && errno != EAGAIN && errno != EINTR)
        return;
      if (n > 0)
        at = (at + static_cast<size_t>(n)) % chunk.size();
    }
  }

  int sock;
  Bytes chunk;
  std::thread thread;
  std::atomic<bool> halt{false};
};

class Flooded : public RavlonTest {};

}  // namespace

// Each flood runs half a second first, so that ravlon's socket holds a
// backlog of work: read by bytes alone, it would take minutes.
TEST_F(Flooded, SigintAndMetaQEndRavlonWhileAClientFloodsIt)
{
  const struct Case {
    const char* name;
    Bytes head;
    Bytes req;
  } cases[] = {{"empty RGB frames", {}, ints({REQ_COLRGB, 0})},
               {"same-size resizes", {}, ints({REQ_RESIZE, 256, 256})},
               {"4 x 4 frames", ints({REQ_RESIZE, 4, 4}), rgb_frame(0x808080, 16)}};
  for (bool shared : {true, false})
    for (const Case& k : cases)
      for (bool key : {false, true}) {
        SCOPED_TRACE(std::string(k.name) + (shared ? ", shared" : ", unshared") +
                     (key ? ", Meta+Q" : ", SIGINT"));
        ASSERT_NO_FATAL_FAILURE(
            start(shared ? std::vector<std::string>{}
                         : std::vector<std::string>{"-xrm", "ravlon.sharedPixmaps: false"}));
        EXPECT_EQ(shm_segments(rv.pid), shared ? 2 : 0);
        XRectangle g = geometry(xv->dpy, wnd);
        xv->click(g.x + 128, g.y + 150);  // focus follows the click
        int s = dial(host_name(), port);
        ASSERT_GE(s, 0);
        ASSERT_TRUE(send_bytes(s, k.head));
        Flood flood(s, k.req);
        usleep(500000);
        if (key)
          xv->key(wnd, "alt+q");  // Meta and Alt share a modifier here
        else
          rv.signal(SIGINT);
        ASSERT_NO_FATAL_FAILURE(expect_ended(rv, 0, "", 2000));
      }
}

// A client on a slow link, against the real ravlon over TCP: while a frame
// takes seconds to arrive the window answers (Meta+Q, the File menu,
// exposure, SIGINT). Frames split at every byte are proved in
// test_decoder.cpp, which decodes what the server reads.
#include "harness.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "net/protocol.h"
#include "ravlon_client.h"
#include "wirebytes.h"

namespace {

// An RGB frame request of the whole 256 x 256 image, each plane a pattern
// of its own.
Bytes rgb_request()
{
  Bytes b = ints({REQ_COLRGB, 65536});
  for (int p = 0; p < 3; p++)
    for (int i = 0; i < 65536; i++)
      b.push_back(static_cast<unsigned char>(i * (p + 1) + i / 256 * (7 - p)));
  return b;
}

// Sends a stream in pieces with a pause after each, on a thread of its
// own, until it is all sent, a send fails or it is stopped.
class Sender {
public:
  ~Sender() { stop(); }

  void start(RavlonClient& c, const Bytes& stream, size_t piece, int pause_ms)
  {
    int on = 1;
    setsockopt(c.sock, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    thread = std::thread([this, &c, stream, piece, pause_ms] {
      size_t at = 0;
      while (at < stream.size() && !halt) {
        size_t n = std::min(piece, stream.size() - at);
        if (c.put_bytes(stream.data() + at, static_cast<int>(n)) == -1)
          return;
        at += n;
        std::this_thread::sleep_for(std::chrono::milliseconds(pause_ms));
      }
      finished = at == stream.size();
    });
  }
  void stop()
  {
    halt = true;
    if (thread.joinable())
      thread.join();
  }

  std::atomic<bool> finished{false};

private:
  std::thread thread;
  std::atomic<bool> halt{false};
};

class SlowClient : public RavlonTest {
protected:
  void SetUp() override
  {
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_EQ(c.connect(host_name().c_str(), port), 0);
  }
  // The frame in 1 kB pieces every 40 ms: about 8 s in flight.
  void send_slowly()
  {
    slow.start(c, rgb_request(), 1024, 40);
    usleep(300000);  // under way
  }

  RavlonClient c;
  Sender slow;  // stopped before c goes
};

}  // namespace

TEST_F(SlowClient, MetaQQuitsWhileAFrameArrives)
{
  send_slowly();
  XRectangle g = geometry(xv->dpy, wnd);
  xv->click(g.x + 128, g.y + 150);  // focus follows the click
  xv->key(wnd, "alt+q");            // Meta and Alt share a modifier here
  // Generous for a loaded machine; the frame would take seconds more.
  ASSERT_NO_FATAL_FAILURE(expect_ended(rv, 0, "", 3000));
  EXPECT_FALSE(slow.finished);
}

// The menu posts and an uncovered picture is drawn again while the frame
// is in flight; SIGINT then ends ravlon with status 0 and closes the
// client's connection without a byte written to it.
TEST_F(SlowClient, WindowAnswersWhileAFrameArrives)
{
  Bytes frame = rgb_request();
  ASSERT_EQ(c.put_bytes(frame.data(), static_cast<int>(frame.size())), 0);
  ASSERT_TRUE(wait_until([&] { return xv->grab(img).count(0, 0, 0, 256, 256) < 1000; }));
  Shot picture = xv->grab(img);
  send_slowly();

  XRectangle g = geometry(xv->dpy, wnd);
  xv->click(g.x + 15, g.y + 15);  // "File"
  Window pdm = xv->find_popup(3000);
  EXPECT_NE(pdm, 0u);
  xv->key(wnd, "Escape");
  EXPECT_TRUE(wait_until([&] { return !is_viewable(xv->dpy, pdm); }, 3000));

  // Cleared to its background with an exposure: ravlon must draw it anew.
  XClearArea(xv->dpy, img, 0, 0, 0, 0, True);
  XSync(xv->dpy, False);
  EXPECT_TRUE(wait_until([&] { return xv->grab(img).rgb == picture.rgb; }, 3000));

  EXPECT_FALSE(slow.finished);
  quit();
  EXPECT_EQ(rv.err(), "");
  slow.stop();
  char b;
  EXPECT_LE(recv(c.sock, &b, 1, 0), 0);
}

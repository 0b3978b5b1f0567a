// A client on a slow link, against the real ravlon over TCP: while a frame
// takes seconds to arrive the window answers (Meta+Q, the File menu,
// exposure, SIGINT), and a frame split at awkward places draws exactly the
// pixels of the same frame sent at once.
#include "harness.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "protocol.h"
#include "ravlon_client.h"
#include "wirebytes.h"

namespace {

using Clock = std::chrono::steady_clock;

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

  void start(RavlonClient& c, const Bytes& stream, const std::vector<int>& pieces, int pause_ms)
  {
    int on = 1;
    setsockopt(c.sock, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    thread = std::thread([this, &c, stream, pieces, pause_ms] {
      size_t at = 0;
      for (size_t k = 0; at < stream.size() && !halt; k++) {
        size_t n = k < pieces.size() ? static_cast<size_t>(pieces[k]) : stream.size() - at;
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
  // The frame sent at once, and the picture it makes.
  Shot show_frame()
  {
    Bytes frame = rgb_request();
    EXPECT_EQ(c.put_bytes(frame.data(), static_cast<int>(frame.size())), 0);
    EXPECT_TRUE(wait_until([&] { return xv->grab(img).count(0, 0, 0, 256, 256) < 1000; }));
    return xv->grab(img);
  }
  // The frame in 1 kB pieces every 40 ms: about 8 s in flight.
  void send_slowly()
  {
    slow.start(c, rgb_request(), std::vector<int>(200, 1024), 40);
    usleep(300000);  // under way
  }
  bool shows(const Shot& s) { return xv->grab(img).rgb == s.rgb; }

  RavlonClient c;
  Sender slow;  // stopped before c goes
};

}  // namespace

TEST_F(SlowClient, MetaQQuitsWhileAFrameArrives)
{
  send_slowly();
  XRectangle g = geometry(xv->dpy, wnd);
  xv->click(g.x + 128, g.y + 150);
  Clock::time_point t0 = Clock::now();
  xv->key(wnd, "alt+q");
  // Generous for a loaded machine; the frame would take seconds more.
  ASSERT_TRUE(rv.wait_exit(3000));
  std::chrono::duration<double> dt = Clock::now() - t0;
  RecordProperty("quit_seconds", std::to_string(dt.count()));
  EXPECT_FALSE(slow.finished);
  EXPECT_EQ(rv.status(), 0);
  EXPECT_EQ(rv.err(), "");
}

// The menu posts and an uncovered picture is drawn again while the frame
// is in flight; SIGINT then ends ravlon with status 0.
TEST_F(SlowClient, WindowAnswersWhileAFrameArrives)
{
  Shot picture = show_frame();
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
  EXPECT_TRUE(wait_until([&] { return shows(picture); }, 3000));

  EXPECT_FALSE(slow.finished);
  quit();
  EXPECT_EQ(rv.err(), "");
}

// Pieces end inside the code, inside the size, one byte into a plane,
// across the red-green and green-blue boundaries and byte by byte at the
// end: the pixels are those of the frame sent whole.
TEST_F(SlowClient, AwkwardSplitsDrawTheSamePixels)
{
  Shot whole = show_frame();

  std::vector<unsigned char> black(65536, 0);
  ASSERT_EQ(c.send_rgb(black.data(), black.data(), black.data(), 65536), 0);
  ASSERT_TRUE(wait_until([&] { return xv->grab(img).count_not(0, 0, 0, 256, 256) == 0; }));

  const std::vector<int> pieces = {1, 2, 1, 3, 1, 1, 65534, 2, 65533, 3, 65530, 1, 1, 1, 1};
  Sender split;
  split.start(c, rgb_request(), pieces, 30);
  EXPECT_TRUE(wait_until([&] { return shows(whole); }, 5000));
  split.stop();
  EXPECT_TRUE(split.finished);
  quit();
}

// The wire protocol against the server in this process: the exact message
// of each broken or refused request, what becomes of the connection, and
// the pixel vectors. A real client talks over TCP; the Xt loop is pumped
// here as the program's main loop would run it.
#include "widgets/xfixture.h"
#include "harness.h"

#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include <X11/Xatom.h>
#include <Xm/Xm.h>

#include "WError.h"
#include "WEtc.h"
#include "window/image.h"
#include "window/imagewnd.h"
#include "net/protocol.h"
#include "ravlon_client.h"
#include "base/service.h"
#include "wirebytes.h"

namespace {

// What a client sends (and then closes its end, when cut), and the error
// window's text it must bring up.
struct Case {
  Bytes sent;
  const char* msg;
  bool cut;
};

class Protocol : public XFixture {
protected:
  void SetUp() override
  {
    XFixture::SetUp();
    XStandardColormap* maps = standard_map(display, screen, XA_RGB_BEST_MAP);
    ASSERT_NE(maps, nullptr);
    imagewnd = new ImageWnd(maps);
    imagewnd->show();
    ASSERT_TRUE(pump_until([] { return imagewnd->image()->dagc != nullptr; }));
  }
  void TearDown() override { cleanup(); }

  void listen()
  {
    port = free_port();
    ASSERT_EQ(imagewnd->start_server(port), 0);
  }
  void connect(RavlonClient& c)
  {
    ASSERT_EQ(c.connect(host_name().c_str(), port), 0);
    ASSERT_TRUE(pump_until([] { return imagewnd->server.connected; }));
  }
  // c connected to the server and the case's bytes sent.
  void send(RavlonClient& c, const Case& k)
  {
    ASSERT_NO_FATAL_FAILURE(connect(c));
    ASSERT_EQ(c.put_bytes(k.sent.data(), static_cast<int>(k.sent.size())), 0);
  }
  // The error window's text, "" while it is hidden or was never made.
  static std::string message()
  {
    return errdlg && XtIsManaged(errdlg->xtwgt) ? xm_text(errdlg->xtwgt, XmNmessageString) : "";
  }
  static void dismiss()
  {
    if (errdlg)
      errdlg->hide();
  }
  bool back_to_listening()
  {
    return pump_until([] { return !imagewnd->server.connected && imagewnd->server.accept_input; });
  }

  int port = 0;
};

}  // namespace

// Each field that does not arrive whole, and each frame size that cannot
// be believed (its bytes would be taken for requests), is named once; the
// client is let go, with nothing written to it, and the next one is served.
TEST_F(Protocol, BrokenRequestsAreNamedOnceAndFreeTheServer)
{
  listen();
  const Case cases[] = {
      {{0, 0}, "Cannot read request type.", true},
      {ints({REQ_RESIZE}) + Bytes(2, 7), "Cannot read image width.", true},
      {ints({REQ_RESIZE, 64}), "Cannot read image height.", true},
      {ints({REQ_COLRGB}) + Bytes(3, 7), "Cannot read size of color vector.", true},
      {ints({REQ_COLRGB, 4}) + Bytes(3, 7), "Cannot read red color vector.", true},
      {ints({REQ_COLRGB, 4}) + Bytes(5, 7), "Cannot read green color vector.", true},
      {ints({REQ_COLRGB, 4}) + Bytes(11, 7), "Cannot read blue color vector.", true},
      {ints({REQ_COLMAP}), "Cannot read size of colormap index vector.", true},
      {ints({REQ_COLMAP, 10}) + Bytes(9, 7), "Cannot read cvec[] colormap index vector.", true},
      {ints({REQ_COLRGB, -1}), "Invalid size of color vector.", false},
      {ints({REQ_COLMAP, MAX_FRAME_SIZE + 1}), "Invalid size of colormap index vector.", false},
  };
  for (const Case& c : cases) {
    RavlonClient cl;
    ASSERT_NO_FATAL_FAILURE(send(cl, c));
    if (c.cut)
      cl.close();
    EXPECT_TRUE(pump_until([&] { return message() == c.msg; })) << c.msg << " / " << message();
    EXPECT_TRUE(back_to_listening()) << c.msg;
    EXPECT_EQ(imagewnd->server.data_sock, 0);
    EXPECT_EQ(imagewnd->server.data_input, 0u);
    char b;
    EXPECT_TRUE(c.cut || recv(cl.sock, &b, 1, 0) <= 0) << c.msg;  // closed, nothing written
    dismiss();
    pump(50);
    EXPECT_EQ(message(), "") << "repeated: " << c.msg;
  }
  EXPECT_EQ(x_errors(), 0);
}

// An image size out of range is only refused: the client stays and its
// next size is taken.
TEST_F(Protocol, RefusedImageSizeKeepsTheClient)
{
  listen();
  // Sent raw: the client library refuses them itself.
  RavlonClient cl;
  connect(cl);
  const int bad[][2] = {{0, 10}, {-5, 10}, {10, MAX_IMAGE_SIDE + 1}};
  for (const auto& wh : bad) {
    std::vector<unsigned char> req = ints({REQ_RESIZE, wh[0], wh[1]});
    ASSERT_EQ(cl.put_bytes(req.data(), static_cast<int>(req.size())), 0);
    EXPECT_TRUE(pump_until([] { return message() == "Invalid image size."; }))
        << wh[0] << "x" << wh[1];
    dismiss();
  }
  EXPECT_TRUE(imagewnd->server.connected);
  EXPECT_EQ(imagewnd->image()->width, 256);
  ASSERT_EQ(cl.resize(64, 48), 0);
  EXPECT_TRUE(pump_until([] { return imagewnd->image()->width == 64; }));
  EXPECT_EQ(imagewnd->image()->height, 48);
  EXPECT_EQ(message(), "");
}

// A frame arrives in vectors of its own and then replaces the frame held,
// whose vectors take the next one. Vectors are made again only for a
// larger frame or one of a quarter of their size or less; a client that
// leaves between requests, with no frame on the picture, takes them along,
// silently. Every event puts the out-of-memory report back, whatever
// allocation turned it off.
TEST_F(Protocol, VectorsFollowTheFramesAndGoWithTheClient)
{
  imagewnd->history.set_budget(0);  // the vectors' own rules, none held by the history
  listen();
  std::set_new_handler(nullptr);
  RavlonClient c;
  connect(c);
  EXPECT_EQ(std::get_new_handler(), out_of_mem);
  const Frame& f = imagewnd->frame;
  auto cvec_caps = [&] {
    return f.vector(FRAME_CVEC).cap * 1000000L + f.next_vector(FRAME_CVEC).cap;
  };
  std::vector<unsigned char> small(16, 1), large(300 * 300, 2);
  std::set_new_handler(nullptr);
  ASSERT_EQ(c.send_colmap(small.data(), 16), 0);
  ASSERT_TRUE(pump_until([&] { return cvec_caps() == 16 * 1000000L; }));
  EXPECT_EQ(std::get_new_handler(), out_of_mem);
  ASSERT_EQ(c.resize(300, 300), 0);
  const int big = 300 * 300;
  struct Step {
    int size;
    long caps;  // held and next, after the frame
  } steps[] = {{big, big * 1000000L + 16},
               {big, big * 1000000L + big},
               {big / 4 + 1, big * 1000000L + big},   // more than a quarter keeps a vector
               {big / 4, big / 4 * 1000000L + big}};  // a quarter makes it again
  for (const Step& k : steps) {
    SCOPED_TRACE(k.size);
    ASSERT_EQ(c.send_colmap(large.data(), k.size), 0);
    ASSERT_TRUE(pump_until([&] { return f.size == k.size; }));
    EXPECT_EQ(cvec_caps(), k.caps);
  }
  ASSERT_EQ(c.send_rgb(small.data(), small.data(), small.data(), 16), 0);
  ASSERT_EQ(c.put_int(0), 0);      // ignored, then a resize that shows the frame went through
  ASSERT_EQ(c.resize(32, 32), 0);  // a blank picture: no frame to keep
  ASSERT_TRUE(pump_until([] { return imagewnd->image()->width == 32; }));
  EXPECT_EQ(f.vector(FRAME_RED).cap, 16);
  EXPECT_EQ(cvec_caps(), big / 4 * 1000000L + big);  // RGB frames leave the index vectors
  c.close();
  ASSERT_TRUE(back_to_listening());
  for (int p = FRAME_RED; p < FRAME_PLANES; p++)
    EXPECT_EQ(f.vector(p).bytes == nullptr && f.next_vector(p).bytes == nullptr, true) << p;
  EXPECT_EQ(errdlg, nullptr);
}

// A request that keeps moving, however slowly, is never cut off; one that
// stops is given up STALL_SECONDS after its last byte, with its field's
// message, and the client waiting in the queue is served.
TEST_F(Protocol, StallLimitCountsFromTheLastProgress)
{
  listen();
  RavlonClient slow;
  connect(slow);
  std::vector<unsigned char> req = ints({REQ_COLMAP, 100});
  ASSERT_EQ(slow.put_bytes(req.data(), static_cast<int>(req.size())), 0);
  for (int i = 0; i < STALL_SECONDS + 2; i++) {
    pump(1000);
    ASSERT_EQ(slow.put_bytes(req.data(), 1), 0);
  }
  auto last = std::chrono::steady_clock::now();
  pump(100);
  EXPECT_TRUE(imagewnd->server.connected);
  EXPECT_EQ(message(), "");

  RavlonClient next;
  ASSERT_EQ(next.connect(host_name().c_str(), port), 0);  // into the queue
  std::vector<unsigned char> frame(16, 3);
  ASSERT_EQ(next.send_colmap(frame.data(), 16), 0);
  const char* msg = "Cannot read cvec[] colormap index vector.";
  ASSERT_TRUE(pump_until([&] { return message() == msg; }, (STALL_SECONDS + 10) * 1000));
  std::chrono::duration<double> quiet = std::chrono::steady_clock::now() - last;
  EXPECT_GE(quiet.count(), STALL_SECONDS - 0.1);
  EXPECT_TRUE(pump_until(
      [] { return imagewnd->server.connected && imagewnd->image()->frames_shown == 1; }));
  EXPECT_EQ(x_errors(), 0);
}

// The request decoder on byte buffers: sizes at the limits, skipped codes,
// and the same requests however the stream is split. (The message of a
// stream cut inside each field is proved through the real server in
// test_protocol.cpp.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/decoder.h"
#include "net/protocol.h"
#include "wirebytes.h"

namespace {

Bytes counting(int n, int from)
{
  Bytes b(n);
  for (int i = 0; i < n; i++)
    b[i] = static_cast<unsigned char>(from + i);
  return b;
}

// Writes down every report as a line, frames with their planes' bytes.
class Log : public RequestSink {
public:
  unsigned char* plane_buffer(int plane, int size) override
  {
    asked.push_back(size);
    if (size > 1 << 20)
      return nullptr;
    planes[plane].resize(size > 0 ? size : 1);
    return planes[plane].data();
  }
  int resize_image(int w, int h) override
  {
    add("resize " + std::to_string(w) + "x" + std::to_string(h));
    return 0;
  }
  int update_colrgb(int size) override
  {
    add("rgb " + text(PLANE_RED, size) + "/" + text(PLANE_GREEN, size) + "/" +
        text(PLANE_BLUE, size));
    return 0;
  }
  int update_colmap(int size) override
  {
    add("map " + text(PLANE_CVEC, size));
    return 0;
  }
  void disconnect_request() override { add("disconnect"); }
  void refuse_request(const char* msg) override { add(std::string("refused: ") + msg); }
  void fail_request(const char* msg) override { add(std::string("failed: ") + msg); }

  void add(const std::string& s) { lines += s + "\n"; }
  std::string text(int plane, int size)
  {
    std::string s;
    for (int i = 0; i < size; i++)
      s += std::to_string(planes[plane][i]) + (i + 1 < size ? "," : "");
    return s;
  }

  std::string lines;
  std::vector<int> asked;
  Bytes planes[4];
};

// The stream fed in pieces of the given lengths (the rest in one), and
// what a close right after it reports.
std::string decode(const Bytes& s, const std::vector<int>& pieces = {})
{
  Log log;
  Decoder d(&log);
  size_t at = 0;
  for (int n : pieces) {
    d.feed(s.data() + at, n);
    at += static_cast<size_t>(n);
  }
  d.feed(s.data() + at, static_cast<int>(s.size() - at));
  if (!d.idle() && d.cut_message())
    log.add(std::string("cut: ") + d.cut_message());
  return log.lines;
}

}  // namespace

// Sizes exactly at the limits pass; one beyond is refused before any
// vector is asked for. A refused image size leaves the stream going.
TEST(Decoder, SizesAtTheLimits)
{
  const Bytes ok = ints({REQ_RESIZE, 1, MAX_IMAGE_SIDE});
  const Bytes wide = ints({REQ_RESIZE, MAX_IMAGE_SIDE + 1, 1, REQ_RESIZE, 0, 5});
  EXPECT_EQ(decode(ok + wide + ok),
            "resize 1x8192\nrefused: Invalid image size.\n"
            "refused: Invalid image size.\nresize 1x8192\n");

  Log log;
  Decoder d(&log);
  EXPECT_EQ(d.feed(ints({REQ_COLMAP, MAX_FRAME_SIZE}).data(), 8), -1);
  EXPECT_EQ(log.asked, std::vector<int>{MAX_FRAME_SIZE});  // refused by the sink only
  EXPECT_EQ(log.lines, "failed: Cannot allocate cvec[] colormap index vector.\n");

  for (int bad : {MAX_FRAME_SIZE + 1, -1}) {
    Log l;
    Decoder e(&l);
    Bytes s = ints({REQ_COLRGB, bad, REQ_COLMAP, 1});
    EXPECT_EQ(e.feed(s.data(), static_cast<int>(s.size())), -1);
    EXPECT_EQ(l.lines, "failed: Invalid size of color vector.\n");
    EXPECT_TRUE(l.asked.empty());
    unsigned char* dst = nullptr;
    EXPECT_EQ(e.next(dst), 0);  // nothing more is read
  }
  EXPECT_EQ(decode(ints({REQ_COLMAP, -7})), "failed: Invalid size of colormap index vector.\n");
}

// Codes 0 and 5 are skipped; empty frames are whole at once; nothing after
// the disconnect is decoded.
TEST(Decoder, SkippedCodesEmptyFramesAndDisconnect)
{
  const Bytes s = ints({0, 5, REQ_COLRGB, 0, REQ_COLMAP, 0, REQ_COLMAP, 2}) + Bytes{4, 2} +
                  ints({REQ_DISCONNECT, REQ_RESIZE, 2, 2});
  EXPECT_EQ(decode(s), "rgb //\nmap \nmap 4,2\ndisconnect\n");
}

// Split at every point, byte by byte, or in one piece: the same requests
// with the same bytes in their planes, and the same cut at the end.
TEST(Decoder, AnySplitGivesTheSameRequests)
{
  const Bytes s = ints({REQ_RESIZE, 3, 2, REQ_COLRGB, 5}) + counting(15, 100) +
                  ints({7, REQ_COLMAP, 4}) + counting(4, 50) + ints({REQ_COLRGB, 2}) +
                  counting(3, 1);
  const std::string whole = decode(s);
  EXPECT_EQ(whole,
            "resize 3x2\nrgb 100,101,102,103,104/105,106,107,108,109/"
            "110,111,112,113,114\nmap 50,51,52,53\ncut: Cannot read green color vector.\n");
  for (size_t cut = 1; cut < s.size(); cut++)
    EXPECT_EQ(decode(s, {static_cast<int>(cut)}), whole) << "split at " << cut;
  EXPECT_EQ(decode(s, std::vector<int>(s.size(), 1)), whole);
}

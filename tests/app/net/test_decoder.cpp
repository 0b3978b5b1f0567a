// The request decoder on byte buffers: sizes at the limits, skipped codes,
// and the same requests however the stream is split. (The message of a
// stream cut inside each field is proved through the real server in
// test_protocol.cpp.)
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
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
  unsigned char* sample_buffer(long bytes) override
  {
    samples.resize(static_cast<size_t>(bytes));
    return samples.data();
  }
  void frame_arriving(int, int, int, long) override {}
  int update_frame(int w, int h, int format) override
  {
    add("frame " + std::to_string(w) + "x" + std::to_string(h) + " " + std::to_string(format) +
        " " + sample_text());
    return 0;
  }
  // Regions at x 99 are refused, as one outside the frame would be.
  const char* check_region(int x, int, int, int, int) override
  {
    return x == 99 ? "outside" : nullptr;
  }
  int update_region(int x, int y, int w, int h) override
  {
    add("region " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(w) + "x" +
        std::to_string(h) + " " + sample_text());
    return 0;
  }
  int update_view(const ViewRequest& v) override
  {
    char t[128];
    snprintf(t, sizeof t, "view %d %d %d %d %g %g %g", v.map, v.scale, v.rule, v.flags, v.percent,
             v.vmin, v.vmax);
    add(t);
    return 0;
  }
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

  std::string sample_text()
  {
    std::string t;
    for (unsigned char b : samples)
      t += std::to_string(b) + ",";
    return t;
  }

  std::string lines;
  std::vector<int> asked;
  Bytes planes[4];
  Bytes samples;
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

// Codes 0 and 77 are skipped, and so is a key request with its key (the
// server has checked it before); empty frames are whole at once; nothing
// after the disconnect is decoded.
TEST(Decoder, SkippedCodesEmptyFramesAndDisconnect)
{
  const Bytes s = ints({0, 77, REQ_KEY}) + Bytes(RAVLON_KEY_BYTES, REQ_COLRGB) +
                  ints({REQ_COLRGB, 0, REQ_COLMAP, 0, REQ_COLMAP, 2}) + Bytes{4, 2} +
                  ints({REQ_DISCONNECT, REQ_RESIZE, 2, 2});
  EXPECT_EQ(decode(s), "rgb //\nmap \nmap 4,2\ndisconnect\n");
}

// Split at every point, byte by byte, or in one piece: the same requests
// with the same bytes in their planes, and the same cut at the end.
TEST(Decoder, AnySplitGivesTheSameRequests)
{
  const Bytes s = ints({REQ_RESIZE, 3, 2, REQ_COLRGB, 5}) + counting(15, 100) +
                  ints({77, REQ_COLMAP, 4}) + counting(4, 50) + ints({REQ_COLRGB, 2}) +
                  counting(3, 1);
  const std::string whole = decode(s);
  EXPECT_EQ(whole,
            "resize 3x2\nrgb 100,101,102,103,104/105,106,107,108,109/"
            "110,111,112,113,114\nmap 50,51,52,53\ncut: Cannot read green color vector.\n");
  for (size_t cut = 1; cut < s.size(); cut++)
    EXPECT_EQ(decode(s, {static_cast<int>(cut)}), whole) << "split at " << cut;
  EXPECT_EQ(decode(s, std::vector<int>(s.size(), 1)), whole);
}

// Typed frames, regions and views: their fields in order, samples by the
// format's size; a refused region is skipped and the stream goes on; a
// frame or region whose size or format cannot be believed ends it; a view
// outside what may be asked is refused.
TEST(Decoder, TypedFramesRegionsAndViews)
{
  const Bytes view = ints({REQ_VIEW, RAVLON_MAP_MAGMA | RAVLON_MAP_INVERT, RAVLON_SCALE_LOG,
                           RAVLON_LIMITS_PERCENT, RAVLON_VIEW_VMAX}) +
                     float64(99.5) + float64(0) + float64(-2.5);
  struct Case {
    Bytes stream;
    std::string log;
  } cases[] = {
      {ints({REQ_FRAME, 2, 1, RAVLON_U16 | RAVLON_BIG_ENDIAN}) + Bytes{1, 2, 3, 4} +
           ints({REQ_REGION, 1, 0, 1, 1, RAVLON_U16}) + Bytes{9, 9},
       "frame 2x1 260 1,2,3,4,\nregion 1,0 1x1 9,9,\n"},
      {ints({REQ_REGION, 99, 0, 2, 1, RAVLON_RGB}) + Bytes(6, 7) + ints({REQ_RESIZE, 1, 1}),
       "refused: outside\nresize 1x1\n"},
      {view + view, "view 258 2 1 2 99.5 0 -2.5\nview 258 2 1 2 99.5 0 -2.5\n"},
      {ints({REQ_VIEW, 6, 0, 0, 0}) + float64(0) + float64(0) + float64(0) +
           ints({REQ_RESIZE, 1, 1}),
       "refused: Invalid view request.\nresize 1x1\n"},
      {ints({REQ_VIEW, 0, 0, RAVLON_LIMITS_PERCENT, 0}) + float64(50) + float64(0) + float64(0),
       "refused: Invalid view request.\n"},
      {ints({REQ_FRAME, 2, 2, 9}) + Bytes(16, 0), "failed: Invalid frame size or format.\n"},
      {ints({REQ_FRAME, 8193, 1, RAVLON_U8}), "failed: Invalid frame size or format.\n"},
      {ints({REQ_REGION, 0, 0, 0, 1, RAVLON_U8}), "failed: Invalid region size or format.\n"},
      {ints({REQ_FRAME, 4, 4, RAVLON_F64}) + Bytes(5, 0), "cut: Cannot read frame samples.\n"},
      {ints({REQ_KEY}) + Bytes(RAVLON_KEY_BYTES - 1, 0), "cut: Cannot read key request.\n"},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(decode(k.stream), k.log);
    EXPECT_EQ(decode(k.stream, std::vector<int>(k.stream.size(), 1)), k.log);  // byte by byte
  }
}

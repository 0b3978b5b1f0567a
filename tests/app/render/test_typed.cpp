// Typed frames, regions and views sent to the real ravlon over TCP, read
// back from its window as raw pixel values on both screens: RGB formats
// exactly, one-channel samples through the colour maps' shared tables.
#include "harness.h"
#include "testframes.h"

#include <X11/Xatom.h>

#include <unistd.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "net/protocol.h"
#include "ravlon_client.h"
#include "render/colourtables.h"
#include "render/samplefill.h"
#include "render/samples.h"
#include "wirebytes.h"

namespace {

const int W = 40, H = 30;

// Pixel (x, y)'s value: RGB bytes, or one sample (NaN at one pixel).
double value(int x, int y, int c)
{
  if (x == 3 && y == 2)
    return NAN;
  return (x * 7 + y * 13 + c * 50) % 251 - 60.5;
}

// The sample's bytes in format's type and byte order.
Bytes encode(double v, int format)
{
  unsigned char b[8];
  int n = pixel_bytes(format);
  const int type = sample_type(format);
  uint64_t bits = 0;
  if (type == RAVLON_F32) {
    const float f = static_cast<float>(v);
    uint32_t u;
    memcpy(&u, &f, 4);
    bits = u;
  } else if (type == RAVLON_F64) {
    memcpy(&bits, &v, 8);
  } else {
    bits = static_cast<uint64_t>(static_cast<long long>(std::isnan(v) ? 0 : v + 100));
  }
  for (int i = 0; i < n; i++)
    b[(format & RAVLON_BIG_ENDIAN) ? n - 1 - i : i] = static_cast<unsigned char>(bits >> (8 * i));
  return Bytes(b, b + n);
}

Bytes samples(int format, int x0, int y0, int w, int h)
{
  Bytes s;
  for (int y = y0; y < y0 + h; y++)
    for (int x = x0; x < x0 + w; x++)
      if (rgb_format(format)) {
        for (int c = 0; c < pixel_bytes(format); c++)
          s.push_back(static_cast<unsigned char>(static_cast<int>(value(x, y, c) + 61) & 255));
      } else {
        s = s + encode(value(x, y, 0), format);
      }
  return s;
}

struct Format {
  int format;
  int view_map;  // for one-channel ones
  int scale;
};
const Format formats[] = {
    {RAVLON_RGB, 0, 0},
    {RAVLON_RGBA, 0, 0},
    {RAVLON_U8, RAVLON_MAP_GRAY, RAVLON_SCALE_LINEAR},
    {RAVLON_U16 | RAVLON_BIG_ENDIAN, RAVLON_MAP_VIRIDIS, RAVLON_SCALE_SQRT},
    {RAVLON_I16, RAVLON_MAP_MAGMA | RAVLON_MAP_INVERT, RAVLON_SCALE_LINEAR},
    {RAVLON_I32 | RAVLON_BIG_ENDIAN, RAVLON_MAP_INFERNO, RAVLON_SCALE_LOG},
    {RAVLON_F32, RAVLON_MAP_TURBO, RAVLON_SCALE_ASINH},
    {RAVLON_F64 | RAVLON_BIG_ENDIAN, RAVLON_MAP_COOLWARM, RAVLON_SCALE_LINEAR},
};

class Typed : public RavlonTest {
protected:
  void serve(int scr)
  {
    ASSERT_NO_FATAL_FAILURE(start({}, scr));
    ASSERT_TRUE(wait_until([&] { return c.connect(host_name().c_str(), port) == 0; }));
    map = standard_map(xv->dpy, scr, scr == 1 ? XA_RGB_DEFAULT_MAP : XA_RGB_BEST_MAP);
    ASSERT_NE(map, nullptr);
  }
  void TearDown() override
  {
    if (map)
      XFree(map);
    if (rv.running())
      c.disconnect();
    EXPECT_TRUE(rv.wait_exit());
    xv.reset();
  }
  void send(const Bytes& b) { ASSERT_EQ(c.put_bytes(b.data(), static_cast<int>(b.size())), 0); }

  // The pixels of the W x H picture that are not what want says, once
  // they stop changing.
  int wrong(const std::function<unsigned long(int, int)>& want)
  {
    Window shown = 0;
    int bad = -1;
    wait_until(
        [&] {
          shown = xv->find_descendant(wnd, W, H);
          return shown && (bad = wrong_pixels(xv->dpy, shown, W, H, want)) == 0;
        },
        5000);
    return bad;
  }
  unsigned long rgb_pixel(const unsigned char* c) { return standard_pixel(*map, c[0], c[1], c[2]); }
  void every_format(int scr);

  RavlonClient c;
  XStandardColormap* map = nullptr;
};

// Every format in both byte orders' kinds, on both screens, each frame in
// two pieces.
void Typed::every_format(int scr)
{
  ASSERT_NO_FATAL_FAILURE(serve(scr));
  const double lo = -20, hi = 150;
  for (const Format& f : formats) {
    SCOPED_TRACE(f.format);
    const bool one = !rgb_format(f.format);
    if (one) {
      send(ints({REQ_VIEW, f.view_map, f.scale, RAVLON_LIMITS_MINMAX,
                 RAVLON_VIEW_VMIN | RAVLON_VIEW_VMAX}) +
           float64(99) + float64(sample_type(f.format) <= RAVLON_I32 ? lo + 100 : lo) +
           float64(sample_type(f.format) <= RAVLON_I32 ? hi + 100 : hi));
    }
    // In two pieces, cut inside a row: the first is converted as it comes.
    const Bytes s = samples(f.format, 0, 0, W, H), whole = ints({REQ_FRAME, W, H, f.format}) + s;
    const auto cut = whole.begin() + 16 + static_cast<long>(s.size() / 2 + 1);
    send(Bytes(whole.begin(), cut));
    usleep(150000);
    send(Bytes(cut, whole.end()));
    SampleMap m = {sample_type(f.format) <= RAVLON_I32 ? lo + 100 : lo,
                   sample_type(f.format) <= RAVLON_I32 ? hi + 100 : hi,
                   f.scale,
                   {},
                   0};
    const int px = pixel_bytes(f.format);
    EXPECT_EQ(wrong([&](int x, int y) {
                const unsigned char* p = &s[(static_cast<size_t>(y) * W + x) * px];
                return one ? sample_pixel(*map, sample_value(p, f.format), m, f.view_map & 0xff,
                                          (f.view_map & RAVLON_MAP_INVERT) != 0)
                           : rgb_pixel(p);
              }),
              0);
  }
}

}  // namespace

TEST_F(Typed, EveryFormatOnTheDeepScreen)
{
  every_format(0);
}

TEST_F(Typed, EveryFormatOnThe8PlaneScreen)
{
  every_format(1);
}

// A region replaces its rectangle of the frame; one outside the frame or
// in another format changes nothing, and the stream goes on.
TEST_F(Typed, RegionsReplaceTheirRectangleOnly)
{
  ASSERT_NO_FATAL_FAILURE(serve(0));
  Bytes s = samples(RAVLON_RGB, 0, 0, W, H);
  send(ints({REQ_FRAME, W, H, RAVLON_RGB}) + s);
  const Bytes tile(5 * 4 * 3, 200);
  send(ints({REQ_REGION, 36, 0, 5, 4, RAVLON_RGB}) + tile);  // one column past the edge
  send(ints({REQ_REGION, 0, 0, 5, 4, RAVLON_RGBA}) + Bytes(5 * 4 * 4, 9));
  send(ints({REQ_REGION, 35, 26, 5, 4, RAVLON_RGB}) + tile);
  for (int y = 26; y < 30; y++)
    for (int x = 35; x < 40; x++)
      memset(&s[(static_cast<size_t>(y) * W + x) * 3], 200, 3);
  EXPECT_EQ(
      wrong([&](int x, int y) { return rgb_pixel(&s[(static_cast<size_t>(y) * W + x) * 3]); }), 0);
}

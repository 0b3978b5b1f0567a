// Looking back in the real ravlon: Space pauses while a client streams,
// comma and period step through the frames kept, Home goes to the oldest
// the budget keeps, and resuming shows the newest; the status line stays
// within two lines and never breaks a phrase.
#include "harness.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "net/protocol.h"
#include "ravlon_client.h"
#include "wirebytes.h"

namespace {

const int SIDE = 256;

class LookBack : public RavlonTest {
protected:
  void TearDown() override
  {
    if (rv.running())
      quit();
  }
  void serve(const std::string& budget_mb)
  {
    ASSERT_NO_FATAL_FAILURE(start({"-xrm", "ravlon.historyMemory: " + budget_mb}));
    ASSERT_EQ(c.connect(host_name().c_str(), port), 0);
  }
  // Frame i of the kind, one colour all over: RGB, or a grey sample.
  static uint32_t colour(int format, int i)
  {
    const unsigned v = static_cast<unsigned>(i * 8 % 256);
    return format == RAVLON_RGB ? v << 16 | (255 - v) << 8 | 40 : v << 16 | v << 8 | v;
  }
  void send(int format, int i)
  {
    const uint32_t rgb = colour(format, i);
    Bytes s = ints({REQ_FRAME, SIDE, SIDE, format});
    for (int p = 0; p < SIDE * SIDE; p++)
      if (format == RAVLON_RGB)
        s.insert(s.end(), {static_cast<unsigned char>(rgb >> 16),
                           static_cast<unsigned char>(rgb >> 8), static_cast<unsigned char>(rgb)});
      else
        s.push_back(static_cast<unsigned char>(rgb));
    ASSERT_EQ(c.put_bytes(s.data(), static_cast<int>(s.size())), 0);
  }
  bool says(const std::string& part)
  {
    return wait_until([&] { return status().find(part) != std::string::npos; });
  }
  RavlonClient c;
};

}  // namespace

// The frame shown stays exact while frames go on arriving; stepping shows
// the exact neighbours; resuming the newest. RGB frames, then grey
// one-channel ones through a view of fixed limits.
TEST_F(LookBack, PauseStepAndResume)
{
  ASSERT_NO_FATAL_FAILURE(serve("64"));
  const Bytes grey = ints({REQ_VIEW, RAVLON_MAP_GRAY, RAVLON_SCALE_LINEAR, RAVLON_LIMITS_MINMAX,
                           RAVLON_VIEW_VMIN | RAVLON_VIEW_VMAX}) +
                     float64(99) + float64(0) + float64(255);
  ASSERT_EQ(c.put_bytes(grey.data(), static_cast<int>(grey.size())), 0);
  int kept = 0;
  for (int format : {RAVLON_RGB, RAVLON_U8}) {
    SCOPED_TRACE(format);
    for (int i = 0; i < 10; i++)
      ASSERT_NO_FATAL_FAILURE(send(format, i));
    kept += 10;
    ASSERT_TRUE(wait_until([&] { return shows(colour(format, 9)); }));
    xv->key(wnd, "space");
    EXPECT_TRUE(says("paused " + std::to_string(kept) + "/" + std::to_string(kept) + " +0"))
        << status();
    for (int i = 10; i < 15; i++)
      ASSERT_NO_FATAL_FAILURE(send(format, i));
    EXPECT_TRUE(says("+5"));
    EXPECT_TRUE(shows(colour(format, 9))) << status();
    struct Step {
      const char* key;
      int frame;
    } steps[] = {{"comma", 8}, {"comma", 7}, {"period", 8}, {"space", 14}};
    for (const Step& k : steps) {
      xv->key(wnd, k.key);
      EXPECT_TRUE(wait_until([&] { return shows(colour(format, k.frame)); })) << k.key;
    }
    kept += 5;
    EXPECT_TRUE(says(std::to_string(kept) + " frames")) << status();
  }
}

// A budget of 1 MB keeps five 256 x 256 RGB frames: Home goes to the
// oldest of them. The status line takes two lines at most and keeps the
// server's phrase whole.
TEST_F(LookBack, TheBudgetKeepsWhatFits)
{
  ASSERT_NO_FATAL_FAILURE(serve("1"));
  for (int i = 0; i < 8; i++)
    ASSERT_NO_FATAL_FAILURE(send(RAVLON_RGB, i));
  ASSERT_TRUE(wait_until([&] { return shows(colour(RAVLON_RGB, 7)); }));
  xv->key(wnd, "Home");
  EXPECT_TRUE(wait_until([&] { return shows(colour(RAVLON_RGB, 3)); }));
  EXPECT_TRUE(says("paused 1/5 +0"));
  xv->key(wnd, "End");
  EXPECT_TRUE(wait_until([&] { return shows(colour(RAVLON_RGB, 7)); }));
  Atom type;
  int format;
  unsigned long n, left;
  unsigned char* data = nullptr;
  XGetWindowProperty(xv->dpy, wnd, XInternAtom(xv->dpy, "RAVLON_STATUS", False), 0, 4096, False,
                     AnyPropertyType, &type, &format, &n, &left, &data);
  const std::string text(data ? reinterpret_cast<char*>(data) : "", n);
  if (data)
    XFree(data);
  EXPECT_LE(std::count(text.begin(), text.end(), '\n'), 1) << text;
  EXPECT_NE(text.find("Client connected on port"), std::string::npos) << text;
}

// Frames of no bytes still cost the budget their record: of 50,000 empty
// frames, 1 MB keeps a few thousand, not all.
TEST_F(LookBack, EmptyFramesFillTheBudgetToo)
{
  ASSERT_NO_FATAL_FAILURE(serve("1"));
  Bytes empties;
  for (int i = 0; i < 50000; i++)
    empties.insert(empties.end(), {0, 0, 0, REQ_COLRGB, 0, 0, 0, 0});
  ASSERT_EQ(c.put_bytes(empties.data(), static_cast<int>(empties.size())), 0);
  ASSERT_TRUE(says("50000 frames")) << status();
  xv->key(wnd, "Home");
  ASSERT_TRUE(says("paused 1/")) << status();
  const std::string s = status();
  EXPECT_LT(atoi(s.c_str() + s.find("paused 1/") + 9), 10000) << s;
}

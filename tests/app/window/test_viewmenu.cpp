// The View menu's colour map, scale and limits in this process, clicked as
// the user does, on a one-channel frame a real client sends over TCP: the
// picture's pixels against the shared tables, the menu's marks, the
// colour bar's ends, and the third button's drag.
#include "widgets/xfixture.h"
#include "harness.h"
#include "testframes.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <X11/Xatom.h>
#include <Xm/MessageB.h>
#include <Xm/Text.h>
#include <Xm/ToggleB.h>

#include "WContext.h"
#include "WDialog.h"
#include "WError.h"
#include "WTextNum.h"
#include "base/service.h"
#include "net/protocol.h"
#include "ravlon_client.h"
#include "render/limits.h"
#include "window/colourbar.h"
#include "window/imagewnd.h"
#include "window/limitsdialog.h"
#include "window/statusline.h"
#include "wirebytes.h"

namespace {

const int W = 64, H = 48;

// Pixel (x, y) of frame k: a ramp with two outliers and one NaN.
float value(int x, int y, int k)
{
  if (y == 0 && x < 3)
    return x == 0 ? 5000.0f * k : x == 1 ? -3000.0f * k : NAN;
  return static_cast<float>(((x * 7 + y * 13) % 200 - 50) * k);
}

Bytes frame(int k)
{
  std::vector<float> v;
  for (int y = 0; y < H; y++)
    for (int x = 0; x < W; x++)
      v.push_back(value(x, y, k));
  const unsigned char* b = reinterpret_cast<const unsigned char*>(v.data());
  return ints({REQ_FRAME, W, H, RAVLON_F32}) + Bytes(b, b + v.size() * sizeof v[0]);
}

class ViewMenu : public XFixture {
protected:
  void SetUp() override
  {
    XFixture::SetUp();
    map = standard_map(display, screen, XA_RGB_BEST_MAP);
    imagewnd = new ImageWnd(map);
    imagewnd->show();
    ASSERT_TRUE(pump_until([] { return imagewnd->image()->pixmap != 0; }));
    const int port = free_port();
    ASSERT_EQ(imagewnd->start_server(port), 0);
    ASSERT_EQ(client.connect(host_name().c_str(), port), 0);
  }
  void TearDown() override
  {
    cleanup();
    XFree(map);
  }
  void send(const Bytes& b)
  {
    ASSERT_EQ(client.put_bytes(b.data(), static_cast<int>(b.size())), 0);
  }
  static Widget child(Widget w, const char* name)
  {
    WidgetList kids = nullptr;
    Cardinal n = 0;
    XtVaGetValues(w, XmNchildren, &kids, XmNnumChildren, &n, nullptr);
    for (Cardinal i = 0; i < n; i++)
      if (!strcmp(XtName(kids[i]), name))
        return kids[i];
    return nullptr;
  }
  // The cascade's menu, once it is posted by a click on the cascade.
  Widget post(Widget cascade)
  {
    Widget pdm = nullptr;
    XtVaGetValues(cascade, XmNsubMenuId, &pdm, nullptr);
    click(cascade);
    EXPECT_TRUE(pump_until([&] { return XtIsRealized(pdm) && is_viewable(XtWindow(pdm)); }));
    return pdm;
  }
  // View > cascade > item, clicked; the item.
  Widget choose(const char* cascade, const char* item)
  {
    Widget view = post(XtNameToWidget(context->mainmenu->menubar, "View"));
    Widget w = child(post(child(view, cascade)), item);
    click(w);
    pump(100);
    return w;
  }
  // Text typed over all of a field's text, the cursor at its end.
  static void type_over(Widget field, const char* text)
  {
    XmTextSetInsertionPosition(field, XmTextGetLastPosition(field));
    XmTextSetString(field, const_cast<char*>(text));
  }
  // The picture's pixels that are not frame k's values shown as want says
  // within limits lo to hi, once they stop changing; with the colour bar's
  // two ends at the map's ends.
  int wrong(int k, const ViewSettings& want, double lo, double hi)
  {
    const Image* img = imagewnd->image();
    const SampleMap m = {lo, hi, want.scale, {}, 0};
    const auto shown = [&](double v) { return sample_pixel(*map, v, m, want.map, want.invert); };
    int bad = -1;
    pump_until([&] {
      const Window bar = imagewnd->bar->xwnd;
      if (!bar || !is_viewable(bar))
        return false;
      bad = wrong_pixels(display, img->xwnd, W, H,
                         [&](int x, int y) { return shown(value(x, y, k)); });
      const int end = imagewnd->bar->get_geom().w - 1;  // the window's width, not the frame's
      bad += (raw_pixel(display, bar, 0, 0) != shown(lo)) +
             (raw_pixel(display, bar, end, 0) != shown(hi));
      return bad == 0 && img->limit_lo == lo && img->limit_hi == hi;
    });
    return bad;
  }

  XStandardColormap* map = nullptr;
  RavlonClient client;
};

const ViewSettings DEFAULT = default_view();
const int LIN = RAVLON_SCALE_LINEAR, PCT = RAVLON_LIMITS_PERCENT, ZS = RAVLON_LIMITS_ZSCALE;
const int TURBO = RAVLON_MAP_TURBO, MAGMA = RAVLON_MAP_MAGMA, BOTH = 3;

}  // namespace

// Each choice changes one thing and holds for the frames that follow; Lock
// keeps the limits for frame 2, a rule chosen while locked takes the frame
// shown, Set Limits takes the dialog's numbers once both are numbers. A
// view request then overrides the user's choices, a drag with the third
// button moves and widens the limits, and an RGB frame shows no bar.
TEST_F(ViewMenu, ChoicesShowTheFrameAtOnceUntilTheClientChooses)
{
  struct Choice {
    const char* cascade;
    const char* item;
    ViewSettings want;
    int frame;      // sent after the choice
    int limits_of;  // the frame the limits are taken from; 0 keeps them
  } choices[] = {
      {"Colour Map", "turbo", {TURBO, false, LIN, 0, 99.5, 0, 0, 0, false}, 1, 1},
      {"Colour Map", "Invert", {TURBO, true, LIN, 0, 99.5, 0, 0, 0, false}, 1, 1},
      {"Scale", "sqrt", {TURBO, true, RAVLON_SCALE_SQRT, 0, 99.5, 0, 0, 0, false}, 1, 1},
      {"Scale", "log", {TURBO, true, RAVLON_SCALE_LOG, 0, 99.5, 0, 0, 0, false}, 1, 1},
      {"Scale", "asinh", {TURBO, true, RAVLON_SCALE_ASINH, 0, 99.5, 0, 0, 0, false}, 1, 1},
      {"Colour Map", "magma", {MAGMA, true, RAVLON_SCALE_ASINH, 0, 99.5, 0, 0, 0, false}, 1, 1},
      {"Scale", "linear", {MAGMA, true, LIN, 0, 99.5, 0, 0, 0, false}, 1, 1},
      {"Limits", "99.5 %", {MAGMA, true, LIN, PCT, 99.5, 0, 0, 0, false}, 1, 1},
      {"Limits", "99 %", {MAGMA, true, LIN, PCT, 99, 0, 0, 0, false}, 1, 1},
      {"Limits", "zscale", {MAGMA, true, LIN, ZS, 99.5, 0, 0, 0, false}, 1, 1},
      {"Limits", "Lock Limits", {MAGMA, true, LIN, ZS, 99.5, 0, 0, 0, true}, 2, 0},
      {"Limits", "min-max", {MAGMA, true, LIN, 0, 99.5, 0, 0, 0, true}, 1, 2},
      {"Limits", "Set Limits...", {MAGMA, true, LIN, 0, 99.5, BOTH, -10, 100, true}, 2, 2},
  };
  send(frame(1));
  ASSERT_TRUE(pump_until([] { return imagewnd->image()->frames_shown == 1; }));
  double lo = -3000, hi = 5000;
  EXPECT_EQ(wrong(1, DEFAULT, lo, hi), 0);
  for (const Choice& c : choices) {
    SCOPED_TRACE(c.item);
    Widget item = choose(c.cascade, c.item);
    if (c.want.fixed) {
      ASSERT_TRUE(pump_until(
          [] { return imagewnd->limits && is_viewable(XtWindow(imagewnd->limits->dlg->xtwgt)); }));
      const LimitsDialog* d = imagewnd->limits;
      for (const char* low : {"", "-10"}) {
        type_over(d->low->xtwgt, low);
        type_over(d->high->xtwgt, "100");
        click(XmMessageBoxGetChild(d->dlg->xtwgt, XmDIALOG_OK_BUTTON));
        pump(100);
        const bool said = errdlg && XtIsManaged(errdlg->xtwgt);
        EXPECT_EQ(said ? xm_text(errdlg->xtwgt, XmNmessageString) : "",
                  *low ? "" : "The limits must be numbers.");
        if (said)
          errdlg->hide();
      }
    } else {
      EXPECT_TRUE(XmToggleButtonGetState(item));
    }
    if (c.limits_of)
      frame_limits(frame(c.limits_of).data() + 16, RAVLON_F32, W * H, c.want, lo, hi);
    const long seen = imagewnd->image()->frames_shown;
    send(frame(c.frame));
    ASSERT_TRUE(pump_until([&] { return imagewnd->image()->frames_shown > seen; }));
    EXPECT_EQ(wrong(c.frame, c.want, lo, hi), 0) << lo << " " << hi;
  }
  // The client's view: gray from the frame's smallest to its largest value.
  send(ints({REQ_VIEW, RAVLON_MAP_GRAY, LIN, 0, 0}) + float64(99.5) + float64(0) + float64(0));
  EXPECT_EQ(wrong(2, DEFAULT, -6000, 10000), 0);
  Widget bar = context->mainmenu->menubar;
  EXPECT_TRUE(XmToggleButtonGetState(XtNameToWidget(bar, "*gray")));
  EXPECT_FALSE(XmToggleButtonGetState(XtNameToWidget(bar, "*magma")));
  EXPECT_FALSE(XmToggleButtonGetState(XtNameToWidget(bar, "*Lock Limits")));
  // Right by 64 pixels moves the limits by half their span, down by 128 widens
  // them twofold.
  const XRectangle g = geometry(display, imagewnd->image()->xwnd);
  xdo("mousemove " + std::to_string(g.x + 5) + " " + std::to_string(g.y + 5) + " mousedown 3" +
      " mousemove " + std::to_string(g.x + 69) + " " + std::to_string(g.y + 133) + " mouseup 3");
  const auto status = [] { return xm_text(imagewnd->status->label, XmNlabelString); };
  EXPECT_TRUE(pump_until([&] { return status().find("gray -6000 to 26000") != std::string::npos; }))
      << status();
  const unsigned char rgb[W * H * 3] = {};
  send(ints({REQ_FRAME, W, H, RAVLON_RGB}) + Bytes(rgb, rgb + sizeof rgb));
  EXPECT_TRUE(pump_until([] { return !XtIsManaged(imagewnd->bar->xtwgt); }));
  EXPECT_EQ(x_errors(), 0);
}

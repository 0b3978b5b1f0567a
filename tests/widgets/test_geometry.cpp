// Rectangles and the widget base's geometry.
#include "xfixture.h"

#include "WEtc.h"
#include "WShl.h"

TEST(WRectTest, EdgesWrapAndCompare)
{
  WRect a(10, 20, 30, 40);
  EXPECT_EQ(a.r(), 40);
  EXPECT_EQ(a.b(), 60);
  EXPECT_EQ(WRect(-10, 0, 5, 0).r(), 65531);  // -5 modulo 65536
  EXPECT_EQ(WRect(32767, 0, 65535, 0).r(), static_cast<unsigned short>(32767 + 65535));

  XRectangle xr = a();
  EXPECT_EQ(WRect(xr), a);
  EXPECT_TRUE(WRect() == WRect(0, 0, 0, 0));
  for (WRect b : {WRect(11, 20, 30, 40), WRect(10, 21, 30, 40), WRect(10, 20, 31, 40),
                  WRect(10, 20, 30, 41)}) {
    EXPECT_TRUE(a != b);
    EXPECT_FALSE(a == b);
  }
}

TEST(WRectTest, InsideExcludesRightAndBottomEdges)
{
  WRect a(10, 20, 30, 40);
  EXPECT_TRUE(a.is_inside(XPoint{10, 20}));
  EXPECT_TRUE(a.is_inside(XPoint{39, 59}));
  EXPECT_FALSE(a.is_inside(XPoint{40, 30}));
  EXPECT_FALSE(a.is_inside(XPoint{20, 60}));
  EXPECT_FALSE(a.is_inside(XPoint{9, 30}));
  EXPECT_FALSE(a.is_inside(XPoint{20, 19}));
  EXPECT_FALSE(WRect(5, 5, 0, 0).is_inside(XPoint{5, 5}));
  // A rectangle reaching past 32767 still contains its far points.
  EXPECT_TRUE(WRect(32000, 0, 2000, 1).is_inside(XPoint{32767, 0}));
  EXPECT_TRUE(WRect(-100, -100, 50, 50).is_inside(XPoint{-51, -51}));
}

TEST(WWidgetTest, FreshWrapperHasTagAndNoWidget)
{
  WWidget w;
  EXPECT_EQ(w.libid, 0x51504C4Du);  // "QPLM"
  EXPECT_EQ(w.xtwgt, nullptr);
  EXPECT_FALSE(w.is_shown());
  EXPECT_FALSE(w.is_enabled());
}

class GeometryTest : public XFixture {};

// The position is pulled back onto the 1280x1024 screen; the size is
// passed as given, 0 included.
TEST_F(GeometryTest, SetGeomClampsPositionOnly)
{
  WWindow wnd("clamp", 0);
  struct Case {
    WRect in;
    WRect out;
  } cases[] = {
      {WRect(1280, 1024, 10, 20), WRect(1280, 1024, 10, 20)},
      {WRect(1281, 1025, 10, 20), WRect(1260, 1004, 10, 20)},
      {WRect(-5, -1, 0, 0), WRect(0, 0, 0, 0)},
      {WRect(32767, -32768, 65535, 1), WRect(1260, 0, 65535, 1)},
  };
  for (const Case& c : cases) {
    wnd.set_geom(c.in);
    EXPECT_EQ(wnd.WWidget::get_geom(), c.out) << c.in.x << "," << c.in.y;
    EXPECT_EQ(wnd.geom, c.in);  // the shell remembers what it was given
  }
  WWidget bare;
  EXPECT_EQ(bare.is_shown(), 0);
  EXPECT_EQ(x_errors(), 0);
}

TEST_F(GeometryTest, EnableAndShowFollowXt)
{
  WWindow wnd("state", 0);
  WWidget child;
  child.xtwgt = XtVaCreateWidget("child", coreWidgetClass, wnd.xtwgt, XtNwidth, 10, XtNheight, 10,
                                 nullptr);
  EXPECT_FALSE(child.is_shown());
  child.show();
  EXPECT_TRUE(child.is_shown());
  child.hide();
  EXPECT_FALSE(child.is_shown());
  EXPECT_TRUE(child.is_enabled());
  child.enable(0);
  EXPECT_FALSE(child.is_enabled());
  child.enable(1);
  EXPECT_TRUE(child.is_enabled());
  EXPECT_EQ(child.xwindow(), 0u);
}

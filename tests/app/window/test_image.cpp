// The image in process: a window on the screen's default visual holding an
// Image; its pixmap's pixel values read back.
#include "widgets/xfixture.h"

#include <Xm/Form.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "WError.h"
#include "WEtc.h"
#include "WShl.h"
#include "window/image.h"
#include "window/imagewnd.h"
#include "base/service.h"
#include "testframes.h"

namespace {

template <class Base>
class RenderImageT : public Base {
protected:
  void TearDown() override
  {
    delete image;
    delete wnd;
  }

  // The window takes the screen's default visual and colour map (the end-to-end
  // tests show the standard colour map's own visual).
  void make(bool show = true)
  {
    smap = nullptr;  // not a standard map an earlier test in this process left
    wnd = new WWindow("RenderTest", 0);
    wnd->set_geom(WRect(0, 0, 256, 256));
    Widget form = XtVaCreateManagedWidget("form", xmFormWidgetClass, wnd->xtwgt, nullptr);
    image = new Image(form, nullptr, frame);
    const XtArgVal attach = static_cast<XtArgVal>(XmATTACH_FORM);
    XtVaSetValues(image->xtwgt, XmNtopAttachment, attach, XmNleftAttachment, attach,
                  XmNbottomAttachment, attach, XmNrightAttachment, attach, nullptr);
    if (show)
      realize();
  }

  void realize()
  {
    wnd->show();
    ASSERT_TRUE(this->pump_until([&] { return image->pixmap != 0; }));
  }

  unsigned long px(int x, int y) { return this->pixel_at(image->pixmap, x, y); }

  // The index vector alone, or red, green and blue, into the frame store,
  // drawn from there.
  void draw(std::initializer_list<const unsigned char*> planes, int size)
  {
    int p = planes.size() == 1 ? FRAME_CVEC : FRAME_RED;
    for (const unsigned char* src : planes)
      memcpy(frame.plane_buffer(p++, size), src, static_cast<size_t>(size));
    frame.complete(planes.size() == 1 ? FRAME_INDEX : FRAME_RGB, size);
    image->draw_frame();
  }

  Frame frame{256, 256};
  WWindow* wnd = nullptr;
  Image* image = nullptr;
};

using RenderImage = RenderImageT<XFixture>;
using RenderImage8 = RenderImageT<XFixture8>;

unsigned long alloc(unsigned short r, unsigned short g, unsigned short b)
{
  XColor c;
  c.red = r, c.green = g, c.blue = b;
  XAllocColor(display, colormap, &c);
  return c.pixel;
}

}  // namespace

// The colour file's triples: 1.0 -> 65535, 1.0001 -> 65534 (not wrapped
// round), 0.5 -> 32767 (truncated, not rounded), negatives -> 0; a number
// too large for any float is still a number, clamped like 1.0001, and the
// triples after it are read. Reading stops at a half triple, at text that
// is not a number and after 128 triples; the entries not read are pixel 0.
TEST_F(RenderImage, ColourFileTriplesBecomeColours)
{
  make(false);
  std::string many;
  for (int i = 0; i < 130; i++)
    many += std::to_string(i / 255.0) + " 0 0\n";
  struct Colour {
    int entry;
    unsigned short r, g, b;
  };
  const unsigned short c127 = static_cast<unsigned short>(127 / 255.0f * 65535.0f);
  struct Case {
    std::string text;
    int entries;  // read from the file
    std::vector<Colour> want;
  } cases[] = {
      {"1.0 1.0001 0.5\n-2 -0.5 0.00001   1 1", 2, {{0, 65535, 65534, 32767}, {1, 0, 0, 0}}},
      {"0 0 1\n1e39 0.5 0\n1e400 -1e400 1\n0.25 0.25 0.25\n0 0 1e39",
       5,
       {{0, 0, 0, 65535},
        {1, 65534, 32767, 0},
        {2, 65534, 0, 65535},
        {3, 16383, 16383, 16383},
        {4, 0, 0, 65534}}},
      {many + "x", 128, {{127, c127, 0, 0}}}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.text.substr(0, 20));
    const std::string f = temp_file(k.text);
    ASSERT_EQ(image->alloc_colmap(f.c_str()), 0);
    unlink(f.c_str());
    int odd = 0;  // flagged "allocated" other than when read; not read but not pixel 0
    for (int i = 0; i < 128; i++)
      odd += image->colflg[i] != (i < k.entries) || (i >= k.entries && image->colmap[i] != 0);
    EXPECT_EQ(odd, 0);
    for (const Colour& c : k.want)
      EXPECT_EQ(image->colmap[c.entry], alloc(c.r, c.g, c.b)) << c.entry;
    delete[] image->colmap;
    delete[] image->colflg;
    image->colmap = nullptr;
  }
  EXPECT_NE(alloc(65535, 65534, 32767), alloc(65535, 65535, 32768));  // truncation shows
  EXPECT_EQ(x_errors(), 0);
}

// A pixmap the server refuses (wider than it can address) leaves the
// picture, its size and frames as they were, and the user is told.
TEST_F(RenderImage, RefusedPixmapKeepsThePicture)
{
  make();
  image->resize_image(30, 20);
  Pixmap before = image->pixmap;
  image->resize_image(40000, 10);
  EXPECT_EQ(image->pixmap, before);
  EXPECT_EQ(image->width * 1000 + image->height, 30 * 1000 + 20);
  ASSERT_NE(errdlg, nullptr);
  EXPECT_EQ(xm_text(errdlg->xtwgt, XmNmessageString), "Cannot create image pixmap.");
  unsigned char cvec[30 * 20] = {0, 0, 7};
  draw({cvec}, sizeof cvec);
  EXPECT_EQ(px(0, 2), 7u);
  EXPECT_EQ(x_errors(), 0);
}

// Without a standard colour map a TrueColor window's channel masks make the
// pixel: each byte lands in its channel unchanged.
TEST_F(RenderImage, RgbFramesWithoutStandardMapUseTheVisualsMasks)
{
  make();
  std::vector<unsigned char> r(256 * 256, 0x12), g(256 * 256, 0x80), b(256 * 256, 0xfe);
  draw({r.data(), g.data(), b.data()}, 256 * 256);
  EXPECT_EQ(px(200, 100), 0x1280feu);
  EXPECT_EQ(errdlg, nullptr);
}

// A PseudoColor window and no standard colour map: the frame is dropped and
// the user told once.
TEST_F(RenderImage8, RgbFramesWithoutAnyColourMapAreRefusedOnce)
{
  make();
  unsigned long before = px(128, 85);
  unsigned char r[256 * 256] = {}, g[256 * 256] = {}, b[256 * 256] = {};
  draw({r, g, b}, sizeof r);
  ASSERT_NE(errdlg, nullptr);
  EXPECT_TRUE(errdlg->is_shown());
  errdlg->hide();
  draw({r, g, b}, sizeof r);
  EXPECT_FALSE(errdlg->is_shown());
  EXPECT_EQ(px(128, 85), before);
}

// A resize before the first expose is kept: the pixmap is made at the size
// the window already has, with the title over it.
TEST_F(RenderImage, ResizeBeforeFirstExposeSizesThePicture)
{
  make(false);
  image->resize_image(300, 120);
  realize();
  Window root;
  int x, y;
  unsigned int w, h, bw, d, white = 0;
  XGetGeometry(display, image->pixmap, &root, &x, &y, &w, &h, &bw, &d);
  EXPECT_EQ(w * 1000 + h, 300u * 1000 + 120);
  for (int i = 100; i < 200; i++)
    white += px(i, 36) == colortbl[1];
  EXPECT_GT(white, 0u);
}

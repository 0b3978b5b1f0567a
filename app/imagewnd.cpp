// The window side of the image window: its widget tree, File menu,
// window-manager hints, close button and the server's status lines.
#include "imagewnd.h"

#include <cstdio>
#include <cstring>

#include <Xm/Form.h>
#include <Xm/MainW.h>

#include "WContext.h"
#include "WEtc.h"
#include "image.h"
#include "menu.h"
#include "savepicture.h"

ImageWnd* imagewnd = nullptr;
XStandardColormap* smap = nullptr;
char buf[512];

namespace {

const int IMAGE_SIDE = 256;
const long NO_RESIZE_DECOR = 0x44;  // MWM_DECOR_RESIZEH | MWM_DECOR_MAXIMIZE
const long NO_RESIZE_FUNC = 0x12;   // MWM_FUNC_RESIZE | MWM_FUNC_MAXIMIZE

// The visual the standard colour map was made for. Its colour map only
// works on that visual (a depth-24 server puts the best map on a
// DirectColor visual), so the shell takes visual, depth and map together;
// an empty result keeps the shell on the screen's defaults.
XVisualInfo map_visual(const XStandardColormap* map)
{
  XVisualInfo vi;
  memset(&vi, 0, sizeof vi);
  if (!map || !display)
    return vi;
  XVisualInfo tmpl;
  tmpl.visualid = map->visualid;
  tmpl.screen = screen;
  int n = 0;
  XVisualInfo* list = XGetVisualInfo(display, VisualIDMask | VisualScreenMask, &tmpl, &n);
  if (list && n > 0)
    vi = list[0];
  if (list)
    XFree(list);
  return vi;
}

}  // namespace

ImageWnd::ImageWnd(XStandardColormap* map) : ImageWnd(map, map_visual(map)) {}

ImageWnd::ImageWnd(XStandardColormap* map, const XVisualInfo& vi)
    : WWindow("Ravlon", vi.visual ? map->colormap : 0, vi.visual, vi.depth),
      listening(0),
      connected(0),
      port(0),
      ctl_sock(0),
      data_sock(0),
      data_input(0),
      accept_input(0),
      decoder(this),
      red_vec(nullptr),
      green_vec(nullptr),
      blue_vec(nullptr),
      cvec(nullptr),
      red_cap(0),
      green_cap(0),
      blue_cap(0),
      cvec_cap(0),
      shown(),
      saver(new PictureSaver)
{
  // A map whose visual is missing would give colours meant for another
  // visual: RGB frames go by the default visual's masks then.
  smap = vi.visual ? map : nullptr;
  wvec = new WWidget*[1];
  wvec[0] = nullptr;
  numwgt = 1;
  set_geom(WRect(0, 0, IMAGE_SIDE, IMAGE_SIDE + MENUBAR_HEIGHT));
  build_widgets();
  set_decoration(NO_RESIZE_DECOR, 0);
  set_function(NO_RESIZE_FUNC, 0);
  set_cp_close(cp_activate_imagewnd, nullptr);
  accept_rest.set_tp_alarm(tp_accept_imagewnd, nullptr);
  stall.set_tp_alarm(tp_stall_imagewnd, nullptr);
}

ImageWnd::~ImageWnd()
{
  disconn_client();
  delete saver;
}

void ImageWnd::build_widgets()
{
  Widget mainwnd = XtVaCreateManagedWidget("mainwnd", xmMainWindowWidgetClass, xtwgt, nullptr);
  Menu* menu = new Menu(mainwnd);  // the display context's main menu until exit
  menu->add_menu("File", 0, file_pdm, 0, nullptr);
  context->set_mainmenu(menu);

  const XtArgVal attach = static_cast<XtArgVal>(XmATTACH_FORM);
  Widget form = XtVaCreateManagedWidget(
      "form", xmFormWidgetClass, mainwnd, XmNtopAttachment, attach, XmNleftAttachment, attach,
      XmNbottomAttachment, attach, XmNrightAttachment, attach, XmNshadowType,
      static_cast<XtArgVal>(XmSHADOW_OUT), XmNshadowThickness, static_cast<XtArgVal>(1), nullptr);
  XmMainWindowSetAreas(mainwnd, menu->menubar, nullptr, nullptr, nullptr, form);

  Image* img = new Image(form, smap);
  XtVaSetValues(img->xtwgt, XmNtopAttachment, attach, XmNleftAttachment, attach,
                XmNbottomAttachment, attach, XmNrightAttachment, attach, XmNbackground,
                static_cast<XtArgVal>(colortbl[0]), nullptr);
  add_widget(img, 0);
}

Image* ImageWnd::image() const
{
  return static_cast<Image*>(wvec[0]);
}

void ImageWnd::show_status()
{
  Image* img = image();
  if (!img || !listening)
    return;
  img->clear_text();
  snprintf(buf, sizeof buf, "on port %d.", port);
  if (connected) {
    img->draw_text(192, "Client connected");
    img->draw_text(205, buf);
  } else {
    img->draw_text(192, "Waiting for");
    img->draw_text(205, "client connection");
    img->draw_text(218, buf);
  }
}

// The window manager's close button quits like the File menu's Quit.
void cp_activate_imagewnd(Widget, XtPointer, XtPointer)
{
  if (context && context->mainmenu)
    context->mainmenu->menu_select(FILE_QUIT);
}

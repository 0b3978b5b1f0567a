// The image window: its widget tree, menus, window-manager hints, close
// button, size and the server's status lines.
#include "window/imagewnd.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <utility>

#include <Xm/Form.h>
#include <Xm/MainW.h>
#include <Xm/Scale.h>

#include "WContext.h"
#include "WError.h"
#include "WEtc.h"
#include "WSld.h"
#include "base/service.h"
#include "window/savedata.h"
#include "window/recordstream.h"
#include "window/colourbar.h"
#include "window/limitsdialog.h"
#include "window/savepicture.h"
#include "window/statusline.h"

ImageWnd* imagewnd = nullptr;
XStandardColormap* smap = nullptr;

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
      frame(IMAGE_SIDE, IMAGE_SIDE),
      server(this, this),
      history(DEFAULT_HISTORY_MB << 20),
      playback{false, -1, 0, 0},
      live_w(IMAGE_SIDE),
      live_h(IMAGE_SIDE),
      slider(nullptr),
      bar(nullptr),
      saver(nullptr),
      data_saver(nullptr),
      recording(nullptr),
      limits(nullptr),
      status(nullptr),
      menu(nullptr),
      menubar(nullptr)
{
  // A map whose visual is missing would give colours meant for another
  // visual: RGB frames go by the default visual's masks then.
  smap = vi.visual ? map : nullptr;
  wvec = new WWidget*[1];
  wvec[0] = nullptr;
  numwgt = 1;
  build_widgets();
  const int w = lay_out(IMAGE_SIDE);
  set_geom(WRect(0, 0, static_cast<Dimension>(w),
                 static_cast<Dimension>(IMAGE_SIDE + chrome_height(w))));
  set_decoration(NO_RESIZE_DECOR, 0);
  set_function(NO_RESIZE_FUNC, 0);
  set_cp_close(cp_activate_imagewnd, nullptr);
}

ImageWnd::~ImageWnd()
{
  disconn_client();
  server.recorder.stop();  // before the watcher it may tell goes
  delete recording;
  delete saver;
  delete data_saver;
  delete limits;
  delete status;
  delete slider;
  delete bar;
}

void ImageWnd::build_widgets()
{
  Widget mainwnd = XtVaCreateManagedWidget("mainwnd", xmMainWindowWidgetClass, xtwgt, nullptr);
  menu = new Menu(mainwnd, this);  // the display context's main menu until exit
  menu->add_menus();
  context->set_mainmenu(menu);
  menubar = menu->menubar;

  // Beside a narrow view the form shows: the picture's black, unframed.
  const XtArgVal attach = static_cast<XtArgVal>(XmATTACH_FORM);
  Widget form = XtVaCreateManagedWidget(
      "form", xmFormWidgetClass, mainwnd, XmNtopAttachment, attach, XmNleftAttachment, attach,
      XmNbottomAttachment, attach, XmNrightAttachment, attach, XmNshadowThickness,
      static_cast<XtArgVal>(0), XmNbackground, static_cast<XtArgVal>(colortbl[0]), nullptr);
  XmMainWindowSetAreas(mainwnd, menu->menubar, nullptr, nullptr, nullptr, form);

  status = new StatusLine(form, frame, server);
  Image* img = new Image(form, smap, frame);
  img->set_listener(this);
  status->image = img;
  status->playback = &playback;
  build_slider();
  bar = new ColourBar(form, *img);
  saver = new PictureSaver(frame, *img);
  data_saver = new DataSaver(frame);
  recording = new StreamRecording(server.recorder, *menu);
  XtVaSetValues(img->xtwgt, XmNtopAttachment, attach, XmNleftAttachment, attach,
                XmNbottomAttachment, static_cast<XtArgVal>(XmATTACH_WIDGET), XmNbottomWidget,
                status->label, XmNrightAttachment, attach, XmNbackground,
                static_cast<XtArgVal>(colortbl[0]), nullptr);
  add_widget(img, 0);
  // Arrow keys pan the picture wherever the focus is in the window (the
  // main window holds it as a rule).
  for (Widget w : {xtwgt, mainwnd, form, img->xtwgt})
    XtAddEventHandler(w, KeyPressMask, False, eh_keyboard_imagewnd, nullptr);
  menu->show_view(img->view);
}

// Top down under the picture: the colour bar while a one-channel frame is
// shown, the slider while paused, the status line. The form lays a widget
// out again from its new attachment only while it is not managed.
void ImageWnd::lay_out_under()
{
  const bool slider_on = playback.paused && history.count() > 1;
  const bool bar_on = frame.one_channel();
  Widget pic = image()->xtwgt;
  if (slider_on == static_cast<bool>(XtIsManaged(slider->xtwgt)) &&
      bar_on == static_cast<bool>(XtIsManaged(bar->xtwgt)))
    return;
  XtUnmanageChild(pic);
  XtUnmanageChild(bar->xtwgt);
  XtUnmanageChild(slider->xtwgt);
  Widget below = status->label;
  const std::pair<Widget, bool> under[] = {{slider->xtwgt, slider_on}, {bar->xtwgt, bar_on}};
  for (const auto& u : under)
    if (u.second) {
      XtVaSetValues(u.first, XmNbottomWidget, below, nullptr);
      XtManageChild(u.first);
      below = u.first;
    }
  XtVaSetValues(pic, XmNbottomWidget, below, nullptr);
  XtManageChild(pic);
  fit_window();
}

// The handler sits on several widgets of the window, and Xt may hand one
// key press to more than one of them: each press counts once.
void eh_keyboard_imagewnd(Widget, XtPointer, XEvent* evt, Boolean*)
{
  static unsigned long last_serial;
  static Time last_time;
  if (!imagewnd || evt->type != KeyPress ||
      (evt->xkey.serial == last_serial && evt->xkey.time == last_time))
    return;
  last_serial = evt->xkey.serial;
  last_time = evt->xkey.time;
  imagewnd->keyboard(&evt->xkey);
}

// What the window adds to the picture's height at width w, as the fonts
// make it: the menu bar (as it lays out at that width), the status line
// and what is shown between them and the picture.
int ImageWnd::chrome_height(int w) const
{
  XtWidgetGeometry want, pref;
  want.request_mode = CWWidth;
  want.width = static_cast<Dimension>(w);
  XtQueryGeometry(menubar, &want, &pref);
  int h = pref.height + status->height_for(w);
  for (Widget under : {slider->xtwgt, bar->xtwgt})
    if (XtIsManaged(under)) {
      XtQueryGeometry(under, &want, &pref);
      h += pref.height;
    }
  return h;
}

void ImageWnd::max_view(int zw, int& w, int& h) const
{
  XPoint off;
  if (reparent_offset(xtwgt, off) != 0)
    off.x = off.y = 0;
  w = DisplayWidth(display, screen) - 2 * off.x;
  h = DisplayHeight(display, screen) - off.y - off.x;
  w = w < 1 ? 1 : w;
  h -= chrome_height(std::min(std::max(zw, min_width()), w));
  h = h < 1 ? 1 : h;
}

int ImageWnd::fit_zoom() const
{
  const Image* img = image();
  int mw, mh;
  max_view(img->width, mw, mh);
  return fit_shift(img->width, img->height, mw, mh, 1);
}

// A copy: set_geom reads the present geometry into geom before using its
// argument.
void ImageWnd::fit_window()
{
  const Image* img = image();
  WRect g = get_geom();
  g.w = static_cast<Dimension>(lay_out(img->view_w));
  g.h = static_cast<Dimension>(img->view_h + chrome_height(g.w));
  set_geom(g);
}

int ImageWnd::min_width() const
{
  XtWidgetGeometry pref;
  XtQueryGeometry(menubar, nullptr, &pref);
  return std::max(static_cast<int>(pref.width), status->min_width());
}

// The picture keeps the view's size, so that its pixels, the pointer's
// and the pan stay those of the view; the margins beside it are equal.
int ImageWnd::lay_out(int vw)
{
  const int w = std::max(vw, min_width());
  status->set_width(w);
  const int left = (w - vw) / 2;
  XtVaSetValues(image()->xtwgt, XmNleftOffset, static_cast<XtArgVal>(left), XmNrightOffset,
                static_cast<XtArgVal>(w - vw - left), nullptr);
  return w;
}

int ImageWnd::zoom_to(int shift)
{
  Image* img = image();
  shift = shift < ZOOM_MIN ? ZOOM_MIN : shift > ZOOM_MAX ? ZOOM_MAX : shift;
  int mw, mh;
  max_view(zoomed(img->width, shift), mw, mh);
  if (img->set_zoom(shift, mw, mh) < 0)
    return -1;
  fit_window();
  touch_status();
  return 0;
}

void ImageWnd::touch_status()
{
  if (status)
    status->touch();
}

Image* ImageWnd::image() const
{
  return static_cast<Image*>(wvec[0]);
}

void ImageWnd::show_status()
{
  Image* img = image();
  touch_status();
  if (!img || !server.listening || img->frames_shown)
    return;
  img->clear_text();
  char lines[3][SERVER_LINE];
  const int n = server.server_lines(lines);
  // Three quarters down the picture, as at the start-up size.
  const int y = img->view_h * 3 / 4;
  for (int i = 0; i < n; i++)
    img->draw_text(y + 13 * i, lines[i]);
}

void ImageWnd::choose_save()
{
  saver->choose();
}

void ImageWnd::choose_save_data()
{
  data_saver->choose();
}

void ImageWnd::choose_record()
{
  recording->choose();
}

void ImageWnd::choose_limits()
{
  if (!limits)
    limits = new LimitsDialog(*this);
  limits->choose(image()->limit_lo, image()->limit_hi);
}

void ImageWnd::view_changed()
{
  menu->show_view(image()->view);
  bar->touch();
}

void ImageWnd::frame_drawn()
{
  lay_out_under();
  bar->touch();
}

void ImageWnd::quit()
{
  cleanup();
  exit(0);
}

void cleanup()
{
  delete errdlg;
  errdlg = nullptr;
  delete imagewnd;
  imagewnd = nullptr;
}

// The window manager's close button quits like the File menu's Quit.
void cp_activate_imagewnd(Widget, XtPointer, XtPointer)
{
  if (context && context->mainmenu)
    context->mainmenu->menu_select(FILE_QUIT);
}

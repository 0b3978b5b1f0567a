// Looking back: pausing the picture while the stream goes on into the
// history, and stepping through the frames kept.
#include <X11/keysym.h>
#include <Xm/Scale.h>

#include "WSld.h"
#include "window/imagewnd.h"
#include "window/statusline.h"

// The frame shown is the newest kept when the pause begins; resuming shows
// the newest again.
void ImageWnd::toggle_pause()
{
  playback.paused = !playback.paused;
  playback.arrived = 0;
  playback.kept = history.count();
  playback.at = history.count() - 1;
  if (!playback.paused && history.count())
    show_kept(history.count() - 1);
  update_slider();
  touch_status();
}

void ImageWnd::step(int by)
{
  if (!playback.paused)
    toggle_pause();
  const int last = history.count() - 1;
  int to = playback.at + by;
  to = to < 0 ? 0 : to > last ? last : to;
  if (to < 0 || to == playback.at)
    return;
  playback.at = to;
  show_kept(to);
  update_slider();
  touch_status();
}

void ImageWnd::keyboard(const XKeyEvent* ev)
{
  XKeyEvent k = *ev;
  const int far = 1 << 30;
  switch (XLookupKeysym(&k, 0)) {
    case XK_space: toggle_pause(); return;
    case XK_comma: step(-1); return;
    case XK_period: step(1); return;
    case XK_Home: step(-far); return;
    case XK_End: step(far); return;
    default: image()->keyboard(ev);
  }
}

// A frame that arrives while paused goes into the history only: the frame
// shown stays.
void ImageWnd::keep_paused(FrameKind k, int size, int format)
{
  if (k == FRAME_SAMPLES)
    frame.complete_samples(format, size);
  else
    frame.complete(k, size);
  const int shown_w = frame.width, shown_h = frame.height;
  frame.width = live_w;
  frame.height = live_h;
  const int before = history.count();
  const bool kept = history.keep(frame);
  frame.width = shown_w;
  frame.height = shown_h;
  frame.undo_complete();
  // The oldest frames may have made room for it: the one shown moves down.
  playback.at -= before + (kept ? 1 : 0) - history.count();
  playback.at = playback.at < 0 ? 0 : playback.at;
  playback.kept = history.count();
  playback.arrived++;
  // The frame count is the stream's: a frame kept while paused is one.
  image()->frames_shown++;
  update_slider();
  touch_status();
}

void ImageWnd::show_kept(int i)
{
  const Frame& f = history.at(i);
  if ((f.width != image()->width || f.height != image()->height) &&
      show_size(f.width, f.height) < 0)
    return;
  frame.share_held(f);
  image()->redraw_frame();
  frame_drawn();
}

Frame& ImageWnd::live_frame()
{
  return playback.paused && history.count() ? history.newest() : frame;
}

// Under the picture, above the status line; shown only while paused, so
// that a live window is as it always was. Made with the window: a scale
// made in a form already laid out takes the form's height.
void ImageWnd::build_slider()
{
  slider = new WSld(XtParent(status->label), "", 0, 1);
  const XtArgVal attach = static_cast<XtArgVal>(XmATTACH_FORM);
  XtVaSetValues(slider->xtwgt, XmNleftAttachment, attach, XmNrightAttachment, attach,
                XmNbottomAttachment, static_cast<XtArgVal>(XmATTACH_WIDGET), XmNbottomWidget,
                status->label, XmNshowValue, static_cast<XtArgVal>(False), XmNtraversalOn,
                static_cast<XtArgVal>(False), nullptr);
  XtUnmanageChild(slider->xtwgt);
  XtAddCallback(slider->xtwgt, XmNvalueChangedCallback, cp_history_imagewnd, nullptr);
  XtAddCallback(slider->xtwgt, XmNdragCallback, cp_history_imagewnd, nullptr);
}

void ImageWnd::update_slider()
{
  const bool on = playback.paused && history.count() > 1;
  if (on) {
    const int last = history.count() - 1;
    XtVaSetValues(slider->xtwgt, XmNmaximum, static_cast<XtArgVal>(last), XmNvalue,
                  static_cast<XtArgVal>(playback.at < 0 ? 0 : playback.at), nullptr);
  }
  lay_out_under();
}

void cp_history_imagewnd(Widget, XtPointer, XtPointer call)
{
  const XmScaleCallbackStruct* cs = static_cast<const XmScaleCallbackStruct*>(call);
  if (imagewnd && cs)
    imagewnd->step(cs->value - imagewnd->playback.at);
}

// The client's whole requests, as the window carries them out: frames go
// into the frame store and are drawn from it.
#include <cstdlib>

#include "base/service.h"
#include "window/imagewnd.h"
#include "window/savepicture.h"

static_assert(int(PLANE_RED) == FRAME_RED && int(PLANE_GREEN) == FRAME_GREEN &&
                  int(PLANE_BLUE) == FRAME_BLUE && int(PLANE_CVEC) == FRAME_CVEC,
              "the decoder's planes are the frame store's");

unsigned char* ImageWnd::plane_buffer(int plane, int size)
{
  return frame.plane_buffer(plane, size);
}

// The disconnect is a whole request, and the recording's last.
void ImageWnd::disconnect_request()
{
  server.recorder.request_done();
  server.recorder.stop();
  disconn_client();
  exit(0);
}

// A size outside the window's reach is refused; the stream goes on.
void ImageWnd::refuse_request(const char* msg)
{
  error_dialog(msg);
}

void ImageWnd::fail_request(const char* msg)
{
  server.drop_client(msg);
}

// While paused the size waits for the frames it belongs to.
int ImageWnd::resize_image(int w, int h)
{
  live_w = w;
  live_h = h;
  return playback.paused ? 0 : show_size(w, h);
}

// The picture is made first: one the X server refuses leaves window and
// picture at their present size, the refusal in the error window. Another
// size starts from the default view: 1:1 when the picture fits the
// screen, else the largest zoom out that shows it whole; the same size
// keeps the zoom and pan.
int ImageWnd::show_size(int w, int h)
{
  Image* img = image();
  const bool same = w == img->width && h == img->height;
  int mw, mh;
  max_view(w, mw, mh);
  int shift = same ? img->zoom_shift : fit_shift(w, h, mw, mh, 0);
  max_view(zoomed(w, shift), mw, mh);
  if (img->resize_image(w, h, shift, mw, mh) < 0)
    return -1;
  frame.resize(w, h);  // the picture is blank until the next frame
  fit_window();
  touch_status();
  return 0;
}

int ImageWnd::update_colrgb(int size)
{
  return show_frame(FRAME_RGB, size);
}

int ImageWnd::update_colmap(int size)
{
  return show_frame(FRAME_INDEX, size);
}

unsigned char* ImageWnd::sample_buffer(long bytes)
{
  return frame.plane_buffer(FRAME_DATA, static_cast<int>(bytes));
}

// A typed frame of another size resizes the picture as a resize request
// does; one the window cannot take is not shown.
// Only a frame that will be shown as it is, at the picture's size, is
// converted while it arrives.
void ImageWnd::frame_arriving(int w, int h, int format, long bytes)
{
  if (!playback.paused && w == image()->width && h == image()->height)
    image()->frame_arriving(frame.next_vector(FRAME_DATA).bytes, format, bytes);
}

int ImageWnd::update_frame(int w, int h, int format)
{
  if ((w != live_w || h != live_h) && resize_image(w, h) < 0)
    return -1;
  return show_frame(FRAME_SAMPLES, static_cast<int>(ravlon_sample_bytes(w, h, format)), format);
}

const char* ImageWnd::check_region(int x, int y, int w, int h, int format)
{
  const Frame& f = live_frame();
  if (f.kind != FRAME_SAMPLES || format != f.format)
    return "Region format is not the frame's.";
  if (x < 0 || y < 0 || x > f.width - w || y > f.height - h)
    return "Region outside the frame.";
  return nullptr;
}

// The region goes into the newest frame, shown or kept.
int ImageWnd::update_region(int x, int y, int w, int h)
{
  // The frame shown shares its vectors with the history's copy of it: a
  // region written into one is in both.
  const unsigned char* src = frame.next_vector(FRAME_DATA).bytes;
  if (playback.paused) {
    if (history.count())
      history.newest().apply_region(src, x, y, w, h);
    if (playback.at == history.count() - 1)
      show_kept(playback.at);
    return 0;
  }
  frame.apply_region(src, x, y, w, h);
  image()->redraw_frame();
  frame_drawn();
  touch_status();
  return 0;
}

// The client's view holds until the user chooses otherwise.
int ImageWnd::update_view(const ViewRequest& r)
{
  ViewSettings v = image()->view;
  v.map = r.map & 0xff;
  v.invert = (r.map & RAVLON_MAP_INVERT) != 0;
  v.scale = r.scale;
  v.rule = r.rule;
  v.percent = r.percent;
  v.fixed = r.flags;
  v.vmin = r.vmin;
  v.vmax = r.vmax;
  v.locked = false;
  image()->set_view(v);
  return 0;
}

// A frame that cannot be drawn is not kept either: the frame held stays
// the one on the screen.
int ImageWnd::show_frame(FrameKind k, int size, int format)
{
  if (playback.paused) {
    keep_paused(k, size, format);
    return 0;
  }
  if (k == FRAME_SAMPLES)
    frame.complete_samples(format, size);
  else
    frame.complete(k, size);
  if (image()->draw_frame() < 0) {
    frame.undo_complete();
    return -1;
  }
  history.keep(frame);
  frame_drawn();
  touch_status();
  return 0;
}

// The last frame stays: it is still shown, may be zoomed, panned and
// saved. With none, the vectors go with the client.
void ImageWnd::client_left()
{
  image()->drop_pieces();
  frame.drop_next();
  if (!frame.held())
    frame.free_vectors();
  show_status();
}

int ImageWnd::disconn_client()
{
  const int r = server.disconn_client();
  if (r == 0)
    frame.free_vectors();
  return r;
}

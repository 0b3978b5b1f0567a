// The data socket's requests: its bytes are read as they arrive into the
// decoder's field in progress, and whole requests act on the window.
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <new>

#include "WEtc.h"
#include "image.h"
#include "imagewnd.h"
#include "protocol.h"
#include "service.h"

namespace {

// Bytes read per readable event at most: the loop then handles X events
// before the next chunk, even while a fast client streams without pause.
const int READ_BUDGET = 4 * 1024 * 1024;

}  // namespace

// A client that closes between two requests has simply left; one that
// stops inside a request leaves a stream that cannot be trusted.
int ImageWnd::dispatch()
{
  if (!connected)
    return -1;
  int budget = READ_BUDGET;
  while (connected && budget > 0) {
    unsigned char* dst = nullptr;
    int room = decoder.next(dst);
    ssize_t r = read(data_sock, dst, static_cast<size_t>(room < budget ? room : budget));
    if (r > 0) {
      budget -= static_cast<int>(r);
      decoder.arrived(static_cast<int>(r));
    } else if (r < 0 && errno == EINTR) {
      continue;
    } else if (r < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      break;
    } else {
      drop_client(r == 0 && decoder.idle() ? nullptr : decoder.cut_message());
      return -1;
    }
  }
  if (!connected)
    return -1;
  watch_stall(budget < READ_BUDGET);
  return 0;
}

// A request in progress must move within STALL_SECONDS; between requests
// a client may wait as long as it likes.
void ImageWnd::watch_stall(bool progress)
{
  if (decoder.idle())
    stall.stop();
  else if (progress || !stall.is_pending())
    stall.start_in(STALL_SECONDS * 1000);
}

void ImageWnd::give_up_stalled()
{
  if (connected && !decoder.idle())
    drop_client(decoder.cut_message());
}

void ImageWnd::drop_client(const char* msg)
{
  if (msg)
    error_dialog(msg);
  end_client();
}

void ImageWnd::vector_slot(int plane, unsigned char**& vec, int*& cap)
{
  switch (plane) {
    case PLANE_RED: vec = &red_vec, cap = &red_cap; break;
    case PLANE_GREEN: vec = &green_vec, cap = &green_cap; break;
    case PLANE_BLUE: vec = &blue_vec, cap = &blue_cap; break;
    default: vec = &cvec, cap = &cvec_cap; break;
  }
}

// A vector is made at the first frame of its kind and is made again when a
// frame is larger than what it holds, or a quarter of it or less, so that
// memory follows the frames; its old contents are overwritten anyway.
unsigned char* ImageWnd::plane_buffer(int plane, int size)
{
  unsigned char** vec = nullptr;
  int* cap = nullptr;
  vector_slot(plane, vec, cap);
  forget_frame(plane);
  if (*vec && size <= *cap && size > *cap / 4)
    return *vec;
  image()->forget_frame();  // it may be drawing from the old vector
  delete[] * vec;
  *cap = 0;
  *vec = new (std::nothrow) unsigned char[size > 0 ? size : 1];
  if (*vec)
    *cap = size;
  return *vec;
}

void ImageWnd::disconnect_request()
{
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
  drop_client(msg);
}

// The picture is made first: one the X server refuses leaves window and
// picture at their present size, the refusal in the error window. Another
// size starts from the default view: 1:1 when the picture fits the
// screen, else the largest zoom out that shows it whole; the same size
// keeps the zoom and pan.
int ImageWnd::resize_image(int w, int h)
{
  Image* img = image();
  const bool same = w == img->width && h == img->height;
  int mw, mh;
  max_view(w, mw, mh);
  int shift = same ? img->zoom_shift : fit_shift(w, h, mw, mh, 0);
  max_view(zoomed(w, shift), mw, mh);
  if (img->resize_image(w, h, shift, mw, mh) < 0)
    return -1;
  shown.nplanes = 0;  // the picture is blank until the next frame
  fit_window();
  touch_status();
  return 0;
}

int ImageWnd::update_colrgb(int size)
{
  image()->draw_image(red_vec, green_vec, blue_vec, size);
  frame_drawn(3, size);
  return 0;
}

int ImageWnd::update_colmap(int size)
{
  image()->draw_image(cvec, size);
  frame_drawn(1, size);
  return 0;
}

void tp_stall_imagewnd(XtPointer, XtIntervalId*)
{
  if (imagewnd)
    imagewnd->give_up_stalled();
}

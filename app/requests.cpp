// The request decoder and handlers: one whole request per readable event
// of the data socket.
#include <arpa/inet.h>

#include <cstdint>
#include <cstdlib>
#include <new>

#include "image.h"
#include "imagewnd.h"
#include "protocol.h"
#include "service.h"

// A client that closes between two requests has simply left; one that
// stops inside a request leaves a stream that cannot be trusted.
int ImageWnd::dispatch()
{
  if (!connected)
    return -1;
  uint32_t net = 0;
  int n = readn(data_sock, &net, 4);
  if (n != 4) {
    if (n != 0)
      error_dialog("Cannot read request type.");
    end_client();
    return -1;
  }
  switch (static_cast<int>(ntohl(net))) {
    case REQ_DISCONNECT: disconn_client(); exit(0);
    case REQ_RESIZE: resize_image(); break;
    case REQ_COLRGB: update_colrgb(); break;
    case REQ_COLMAP: update_colmap(); break;
    default: break;
  }
  return 0;
}

int ImageWnd::read_field(void* dst, int n, const char* msg)
{
  if (readn(data_sock, dst, n) == n)
    return 0;
  error_dialog(msg);
  end_client();
  return -1;
}

int ImageWnd::read_int(int& v, const char* msg)
{
  uint32_t net = 0;
  if (read_field(&net, 4, msg) < 0)
    return -1;
  v = static_cast<int>(ntohl(net));
  return 0;
}

// The bytes of a size that cannot be believed would be read as requests.
int ImageWnd::read_size(int& size, const char* readmsg, const char* badmsg)
{
  if (read_int(size, readmsg) < 0)
    return -1;
  if (valid_frame_size(size))
    return 0;
  error_dialog(badmsg);
  end_client();
  return -1;
}

// A vector is made at the first frame of its kind and grows when a frame
// is larger than what it holds; its old contents are overwritten anyway.
int ImageWnd::read_plane(unsigned char*& vec, int& cap, int size, const char* allocmsg,
                         const char* readmsg)
{
  if (!vec || size > cap) {
    delete[] vec;
    cap = 0;
    vec = new (std::nothrow) unsigned char[size > 0 ? size : 1];
    if (!vec) {
      error_dialog(allocmsg);
      end_client();
      return -1;
    }
    cap = size;
  }
  return read_field(vec, size, readmsg);
}

// A size outside the window's reach is refused; the request's fields are
// consumed, so the stream goes on.
int ImageWnd::resize_image()
{
  int w = 0;
  int h = 0;
  if (read_int(w, "Cannot read image width.") < 0)
    return -1;
  if (read_int(h, "Cannot read image height.") < 0)
    return -1;
  if (!valid_image_size(w, h)) {
    error_dialog("Invalid image size.");
    return -1;
  }
  // A copy: set_geom reads the present geometry into geom before using
  // its argument.
  WRect g = get_geom();
  g.w = static_cast<Dimension>(w);
  g.h = static_cast<Dimension>(h + MENUBAR_HEIGHT);
  set_geom(g);
  image()->resize_image(w, h);
  return 0;
}

int ImageWnd::update_colrgb()
{
  int size = 0;
  if (read_size(size, "Cannot read size of color vector.", "Invalid size of color vector.") < 0)
    return -1;
  if (read_plane(red_vec, red_cap, size, "Cannot allocate red color vector.",
                 "Cannot read red color vector.") < 0 ||
      read_plane(green_vec, green_cap, size, "Cannot allocate green color vector.",
                 "Cannot read green color vector.") < 0 ||
      read_plane(blue_vec, blue_cap, size, "Cannot allocate blue color vector.",
                 "Cannot read blue color vector.") < 0)
    return -1;
  image()->draw_image(red_vec, green_vec, blue_vec, size);
  return 0;
}

int ImageWnd::update_colmap()
{
  int size = 0;
  if (read_size(size, "Cannot read size of colormap index vector.",
                "Invalid size of colormap index vector.") < 0)
    return -1;
  if (read_plane(cvec, cvec_cap, size, "Cannot allocate cvec[] colormap index vector.",
                 "Cannot read cvec[] colormap index vector.") < 0)
    return -1;
  image()->draw_image(cvec, size);
  return 0;
}

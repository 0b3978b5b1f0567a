/* The C client of ravlon's wire protocol (ravlon.h). */
#define _POSIX_C_SOURCE 200809L

#include "ravlon.h"
#include "ravlon_conn.h"
#include "ravlon_raw.h"

#include <errno.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

static _Thread_local char message[256];

int ravlon_fail(int err, const char *fmt, ...)
{
  va_list ap;
  va_start(ap, fmt);
  vsnprintf(message, sizeof message, fmt, ap);
  va_end(ap);
  errno = err;
  return -1;
}

const char *ravlon_errmsg(void)
{
  return message;
}

int ravlon_no_handle(void)
{
  return ravlon_fail(EINVAL, "no connection (a NULL handle)");
}

/* MSG_NOSIGNAL: a server that has gone
 * away is a failed call, not a SIGPIPE that kills the program. */
int ravlon_send_all(ravlon *rv, struct iovec *iov, int n)
{
  while (n > 0) {
    struct msghdr m;
    ssize_t w;
    memset(&m, 0, sizeof m);
    m.msg_iov = iov;
    m.msg_iovlen = (size_t)n;
    w = sendmsg(rv->fd, &m, MSG_NOSIGNAL);
    if (w < 0 && errno == EINTR)
      continue;
    if (w < 0)
      return ravlon_fail(errno, "cannot send to ravlon: %s", strerror(errno));
    for (; n > 0 && (size_t)w >= iov->iov_len; iov++, n--)
      w -= (ssize_t)iov->iov_len;
    if (n > 0) {
      iov->iov_base = (char *)iov->iov_base + w;
      iov->iov_len -= (size_t)w;
    }
  }
  return 0;
}

int ravlon_put(ravlon *rv, const void *bytes, size_t n)
{
  struct iovec iov;
  if (!rv)
    return ravlon_no_handle();
  iov.iov_base = (void *)bytes;
  iov.iov_len = n;
  return ravlon_send_all(rv, &iov, 1);
}

int ravlon_socket(const ravlon *rv)
{
  return rv ? rv->fd : -1;
}

unsigned char *ravlon_put_int(unsigned char *p, int v)
{
  unsigned int u = (unsigned int)v;
  p[0] = (unsigned char)(u >> 24);
  p[1] = (unsigned char)(u >> 16);
  p[2] = (unsigned char)(u >> 8);
  p[3] = (unsigned char)u;
  return p + 4;
}

ravlon *ravlon_adopt(int fd, const unsigned char key[RAVLON_KEY_BYTES])
{
  unsigned char head[4];
  struct iovec iov[2];
  int e;
  ravlon *rv = calloc(1, sizeof *rv);
  if (!rv) {
    close(fd);
    ravlon_fail(ENOMEM, "cannot allocate a connection");
    return NULL;
  }
  rv->fd = fd;
  if (!key)
    return rv;
  ravlon_put_int(head, RAVLON_REQ_KEY);
  iov[0].iov_base = head;
  iov[0].iov_len = sizeof head;
  iov[1].iov_base = (void *)key;
  iov[1].iov_len = RAVLON_KEY_BYTES;
  if (ravlon_send_all(rv, iov, 2) == 0)
    return rv;
  e = errno;
  ravlon_close(rv);
  errno = e;
  return NULL;
}

int ravlon_bad_size(int width, int height)
{
  return ravlon_fail(EINVAL, "%d x %d is not an image size of 1 to %d on each side", width, height,
                     RAVLON_MAX_IMAGE_SIDE);
}

int ravlon_resize(ravlon *rv, int width, int height)
{
  unsigned char head[12];
  struct iovec iov;
  if (!rv)
    return ravlon_no_handle();
  if (!ravlon_valid_image_size(width, height))
    return ravlon_bad_size(width, height);
  ravlon_put_int(ravlon_put_int(ravlon_put_int(head, RAVLON_REQ_RESIZE), width), height);
  iov.iov_base = head;
  iov.iov_len = sizeof head;
  if (ravlon_send_all(rv, &iov, 1) < 0)
    return -1;
  rv->width = width;
  rv->height = height;
  rv->format = 0;
  return 0;
}

/* One frame of the given planes (three for RGB, one for colmap), preceded
 * by a resize to width x height when that is not the size last sent. */
static int send_frame(ravlon *rv, int code, const unsigned char *const *planes, int nplanes,
                      int size, int width, int height)
{
  unsigned char head[20];
  unsigned char *p = head;
  struct iovec iov[4];
  int i;
  int resize = width && (width != rv->width || height != rv->height);
  if (resize)
    p = ravlon_put_int(ravlon_put_int(ravlon_put_int(p, RAVLON_REQ_RESIZE), width), height);
  p = ravlon_put_int(ravlon_put_int(p, code), size);
  iov[0].iov_base = head;
  iov[0].iov_len = (size_t)(p - head);
  for (i = 0; i < nplanes; i++) {
    iov[i + 1].iov_base = (void *)planes[i];
    iov[i + 1].iov_len = (size_t)size;
  }
  if (ravlon_send_all(rv, iov, nplanes + 1) < 0)
    return -1;
  rv->format = 0;
  if (resize) {
    rv->width = width;
    rv->height = height;
  }
  return 0;
}

static int bad_frame(int size)
{
  return ravlon_fail(EINVAL, "%d is not a frame size of 0 to %d bytes", size,
                     RAVLON_MAX_FRAME_SIZE);
}

int ravlon_send_rgb(ravlon *rv, const unsigned char *r, const unsigned char *g,
                    const unsigned char *b, int size)
{
  const unsigned char *planes[3];
  if (!rv)
    return ravlon_no_handle();
  if (!ravlon_valid_frame_size(size))
    return bad_frame(size);
  if (size > 0 && (!r || !g || !b))
    return ravlon_fail(EINVAL, "a NULL plane");
  planes[0] = r;
  planes[1] = g;
  planes[2] = b;
  return send_frame(rv, RAVLON_REQ_COLRGB, planes, 3, size, 0, 0);
}

int ravlon_send_colmap(ravlon *rv, const unsigned char *cvec, int size)
{
  if (!rv)
    return ravlon_no_handle();
  if (!ravlon_valid_frame_size(size))
    return bad_frame(size);
  if (size > 0 && !cvec)
    return ravlon_fail(EINVAL, "a NULL index vector");
  return send_frame(rv, RAVLON_REQ_COLMAP, &cvec, 1, size, 0, 0);
}

int ravlon_check_image(const ravlon *rv, const void *pixels, int width, int height, size_t stride,
                       size_t depth)
{
  if (!rv)
    return ravlon_no_handle();
  if (!pixels)
    return ravlon_fail(EINVAL, "no pixels (a NULL image)");
  if (!ravlon_valid_image_size(width, height))
    return ravlon_bad_size(width, height);
  if (stride < (size_t)width * depth)
    return ravlon_fail(EINVAL, "a stride of %zu bytes is shorter than a row of %zu", stride,
                       (size_t)width * depth);
  return 0;
}

/* The handle has room for a plane of n bytes, grown only for a larger
 * image than any before. */
static int prepare(ravlon *rv, size_t n)
{
  if (n > rv->planes_cap) {
    unsigned char *p = malloc(n);
    if (!p)
      return ravlon_fail(ENOMEM, "cannot allocate %zu bytes for the planes", n);
    free(rv->planes);
    rv->planes = p;
    rv->planes_cap = n;
  }
  return 0;
}

static int min_int(int a, int b)
{
  return a < b ? a : b;
}

/* Row-major grey levels become one column-major plane, in square tiles so
 * that both the rows read and the columns written stay in the cache. */
enum { TILE = 32 };

static void transpose(unsigned char *plane, const unsigned char *pixels, int width, int height,
                      size_t stride)
{
  int x0, y0, x, y;
  for (x0 = 0; x0 < width; x0 += TILE)
    for (y0 = 0; y0 < height; y0 += TILE)
      for (x = x0; x < min_int(x0 + TILE, width); x++) {
        const unsigned char *src = pixels + (size_t)y0 * stride + (size_t)x;
        unsigned char *dst = plane + (size_t)x * (size_t)height;
        for (y = y0; y < min_int(y0 + TILE, height); y++, src += stride)
          dst[y] = *src;
      }
}

/* Grey is an RGB frame whose three planes are the same one: the picture
 * looks as it always has, whatever view a client set. */
int ravlon_show_gray(ravlon *rv, const unsigned char *pixels, int width, int height,
                     size_t stride_bytes)
{
  const unsigned char *planes[3];
  int n = width * height;
  if (ravlon_check_image(rv, pixels, width, height, stride_bytes, 1) < 0 ||
      prepare(rv, (size_t)n) < 0)
    return -1;
  transpose(rv->planes, pixels, width, height, stride_bytes);
  planes[0] = planes[1] = planes[2] = rv->planes;
  return send_frame(rv, RAVLON_REQ_COLRGB, planes, 3, n, width, height);
}

void ravlon_close(ravlon *rv)
{
  if (!rv)
    return;
  close(rv->fd);
  free(rv->planes);
  free(rv);
}

int ravlon_disconnect(ravlon *rv)
{
  unsigned char code[4];
  int r;
  int e;
  if (!rv)
    return ravlon_no_handle();
  ravlon_put_int(code, RAVLON_REQ_DISCONNECT);
  r = ravlon_put(rv, code, sizeof code);
  e = errno;
  ravlon_close(rv);
  errno = e;
  return r;
}

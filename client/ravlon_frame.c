/* Typed frames, regions and views of the C client (ravlon.h): samples go
 * out row by row as they lie in memory, with no conversion. */
#define _POSIX_C_SOURCE 200809L

#include "ravlon.h"
#include "ravlon_conn.h"

#include <errno.h>
#include <stdint.h>
#include <string.h>

/* Rows whose starts lie further apart than they are long go out in
 * batches of this many, one iovec a row, well under the system's IOV_MAX. */
enum { ROWS_A_WRITE = 256 };

/* The request's header, then height rows of row_bytes, stride apart. */
static int send_rows(ravlon *rv, unsigned char *head, size_t head_len, const unsigned char *rows,
                     int height, size_t row_bytes, size_t stride)
{
  struct iovec iov[ROWS_A_WRITE + 1];
  int n = 1;
  int y;
  iov[0].iov_base = head;
  iov[0].iov_len = head_len;
  if (stride == row_bytes) {
    iov[1].iov_base = (void *)rows;
    iov[1].iov_len = row_bytes * (size_t)height;
    return ravlon_send_all(rv, iov, 2);
  }
  for (y = 0; y < height; y++) {
    iov[n].iov_base = (void *)(rows + (size_t)y * stride);
    iov[n++].iov_len = row_bytes;
    if (n == ROWS_A_WRITE + 1 || y == height - 1) {
      if (ravlon_send_all(rv, iov, n) < 0)
        return -1;
      n = 0;
    }
  }
  return 0;
}

/* The bytes of a row of width samples of format, or -1 with EINVAL
 * when the request would be refused. */
static long row_bytes(const ravlon *rv, int width, int height, int format, const void *samples)
{
  if (!rv)
    return ravlon_no_handle();
  if (!ravlon_valid_image_size(width, height))
    return ravlon_bad_size(width, height);
  if (!ravlon_pixel_bytes(format))
    return ravlon_fail(EINVAL, "0x%x is not a sample format", (unsigned)format);
  if (ravlon_sample_bytes(width, height, format) < 0)
    return ravlon_fail(EINVAL, "%d x %d samples of format 0x%x are more than %d bytes", width,
                       height, (unsigned)format, RAVLON_MAX_SAMPLE_BYTES);
  if (!samples)
    return ravlon_fail(EINVAL, "no samples (NULL)");
  return (long)width * ravlon_pixel_bytes(format);
}

static int send_frame(ravlon *rv, int width, int height, int format, const unsigned char *rows,
                      size_t stride)
{
  unsigned char head[16];
  ravlon_put_int(
      ravlon_put_int(ravlon_put_int(ravlon_put_int(head, RAVLON_REQ_FRAME), width), height),
      format);
  if (send_rows(rv, head, sizeof head, rows, height,
                (size_t)width * (size_t)ravlon_pixel_bytes(format), stride) < 0)
    return -1;
  rv->width = width;
  rv->height = height;
  rv->format = format;
  return 0;
}

int ravlon_show_frame(ravlon *rv, int width, int height, int format, const void *samples)
{
  long row = row_bytes(rv, width, height, format, samples);
  return row < 0 ? -1 : send_frame(rv, width, height, format, samples, (size_t)row);
}

int ravlon_show_rgb(ravlon *rv, const unsigned char *pixels, int width, int height,
                    size_t stride_bytes)
{
  if (ravlon_check_image(rv, pixels, width, height, stride_bytes, 3) < 0)
    return -1;
  return send_frame(rv, width, height, RAVLON_RGB, pixels, stride_bytes);
}

int ravlon_show_region(ravlon *rv, int x, int y, int width, int height, int format,
                       const void *samples)
{
  unsigned char head[24];
  unsigned char *p = head;
  long row = row_bytes(rv, width, height, format, samples);
  if (row < 0)
    return -1;
  if (!rv->format || format != rv->format)
    return ravlon_fail(EINVAL, "a region of format 0x%x in %s", (unsigned)format,
                       rv->format ? "a frame of another format" : "no typed frame");
  if (x < 0 || y < 0 || x > rv->width - width || y > rv->height - height)
    return ravlon_fail(EINVAL, "a region %d x %d at (%d, %d) outside the %d x %d frame", width,
                       height, x, y, rv->width, rv->height);
  p = ravlon_put_int(ravlon_put_int(ravlon_put_int(p, RAVLON_REQ_REGION), x), y);
  ravlon_put_int(ravlon_put_int(ravlon_put_int(p, width), height), format);
  return send_rows(rv, head, sizeof head, samples, height, (size_t)row, (size_t)row);
}

/* A double as the wire has it: IEEE 754, most significant byte first. */
static unsigned char *put_double(unsigned char *p, double v)
{
  uint64_t bits;
  int i;
  memcpy(&bits, &v, sizeof bits);
  for (i = 0; i < 8; i++)
    p[i] = (unsigned char)(bits >> (56 - 8 * i));
  return p + 8;
}

int ravlon_set_view(ravlon *rv, int map, int scale, int rule, int flags, double percent,
                    double vmin, double vmax)
{
  unsigned char head[44];
  unsigned char *p = head;
  struct iovec iov;
  if (!rv)
    return ravlon_no_handle();
  if (!ravlon_valid_view(map, scale, rule, flags, percent, vmin, vmax))
    return ravlon_fail(EINVAL, "no view map 0x%x, scale %d, limits %d (%g), flags %d, %g to %g",
                       (unsigned)map, scale, rule, percent, flags, vmin, vmax);
  p = ravlon_put_int(ravlon_put_int(ravlon_put_int(head, RAVLON_REQ_VIEW), map), scale);
  p = ravlon_put_int(ravlon_put_int(p, rule), flags);
  put_double(put_double(put_double(p, percent), vmin), vmax);
  iov.iov_base = head;
  iov.iov_len = sizeof head;
  return ravlon_send_all(rv, &iov, 1);
}

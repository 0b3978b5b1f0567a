/* A C program (C99, no C++) on the C interface, for the tests to watch:
 *
 *   capi_client HOST PORT rgb|gray WIDTH HEIGHT STRIDE
 *     shows the test pattern (pattern.h) as a row-major image whose rows
 *     are STRIDE bytes apart, the bytes between them 0xee, and leaves;
 *   capi_client HOST PORT typed
 *     sets a grey view from 0 to 256 and shows the pattern's first channel
 *     as a 64 x 48 frame of big-endian 16-bit samples, then a 20 x 12
 *     region of it at (10, 4) holding 255 minus the pattern, and leaves;
 *   capi_client HOST PORT bad
 *     makes calls with bad arguments, each of which must fail with EINVAL
 *     and send nothing, then shows the 3 x 2 grey pattern twice (rows 4
 *     bytes apart) and ends the server.
 *
 * A failed connect prints "capi_client: MESSAGE [errno N]" and exits 1. */
#include "ravlon.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "pattern.h"

static int failures;

static void einval(const char *call, int failed)
{
  if (!failed || errno != EINVAL) {
    fprintf(stderr, "capi_client: %s: %s, errno %d\n", call, failed ? "failed" : "succeeded", errno);
    failures++;
  }
}

/* errno is cleared first, so that only the call itself can set it. */
#define EINVAL_FROM(call) einval(#call, (errno = 0, (call)) == -1)
#define EINVAL_NULL(call) einval(#call, (errno = 0, (call)) == NULL)

static int bad_calls(ravlon *rv, const char *host, int port)
{
  unsigned char px[32] = {0};
  EINVAL_NULL(ravlon_connect_keyfile(host, port, "/dev/null"));
  EINVAL_NULL(ravlon_connect(host, 0));
  EINVAL_NULL(ravlon_connect(host, 65536));
  EINVAL_FROM(ravlon_resize(NULL, 3, 2));
  EINVAL_FROM(ravlon_resize(rv, 0, 2));
  EINVAL_FROM(ravlon_resize(rv, -5, 2));
  EINVAL_FROM(ravlon_resize(rv, 2, RAVLON_MAX_IMAGE_SIDE + 1));
  EINVAL_FROM(ravlon_send_rgb(rv, px, px, px, -1));
  EINVAL_FROM(ravlon_send_rgb(rv, px, NULL, px, 4));
  EINVAL_FROM(ravlon_send_colmap(rv, px, RAVLON_MAX_FRAME_SIZE + 1));
  EINVAL_FROM(ravlon_send_colmap(rv, NULL, 1));
  EINVAL_FROM(ravlon_show_rgb(rv, px, 3, 2, 8));
  EINVAL_FROM(ravlon_show_gray(rv, px, 3, 2, 2));
  EINVAL_FROM(ravlon_show_gray(rv, NULL, 3, 2, 4));
  EINVAL_FROM(ravlon_show_gray(NULL, px, 3, 2, 4));
  EINVAL_FROM(ravlon_show_rgb(rv, px, RAVLON_MAX_IMAGE_SIDE + 1, 1, 30000));
  EINVAL_FROM(ravlon_show_gray(rv, px, 0, 0, 0));
  EINVAL_FROM(ravlon_show_frame(rv, 3, 2, RAVLON_F64 + 1, px));
  EINVAL_FROM(ravlon_show_frame(rv, 3, 2, RAVLON_U8, NULL));
  EINVAL_FROM(ravlon_show_frame(rv, 8192, 8192, RAVLON_F64, px));
  EINVAL_FROM(ravlon_show_region(rv, 0, 0, 1, 1, RAVLON_U8, px));
  EINVAL_FROM(ravlon_set_view(rv, RAVLON_MAP_COOLWARM + 1, 0, 0, 0, 0, 0, 0));
  EINVAL_FROM(ravlon_set_view(rv, 0, 0, RAVLON_LIMITS_PERCENT, 0, 50, 0, 0));
  EINVAL_FROM(ravlon_disconnect(NULL));
  if (!*ravlon_errmsg()) {
    fprintf(stderr, "capi_client: no message for the last failure\n");
    failures++;
  }
  return failures;
}

/* The pattern, rows stride bytes apart with 0xee between them. */
static unsigned char *image(int width, int height, size_t stride, int depth)
{
  unsigned char *p = malloc(stride * (size_t)height);
  int x, y, c;
  if (!p)
    return NULL;
  memset(p, 0xee, stride * (size_t)height);
  for (y = 0; y < height; y++)
    for (x = 0; x < width; x++)
      for (c = 0; c < depth; c++)
        p[(size_t)y * stride + (size_t)(x * depth + c)] = pattern(x, y, c);
  return p;
}

/* 16-bit samples, most significant byte first, of the pattern's first
 * channel (flipped when flip) from (x0, y0) on. */
static void samples16(unsigned char *s, int x0, int y0, int w, int h, int flip)
{
  int x, y;
  for (y = 0; y < h; y++)
    for (x = 0; x < w; x++, s += 2) {
      s[0] = 0;
      s[1] = (unsigned char)(flip ? 255 - pattern(x0 + x, y0 + y, 0) : pattern(x0 + x, y0 + y, 0));
    }
}

static int typed(ravlon *rv)
{
  static unsigned char frame[64 * 48 * 2], region[20 * 12 * 2];
  const int format = RAVLON_U16 | RAVLON_BIG_ENDIAN;
  samples16(frame, 0, 0, 64, 48, 0);
  samples16(region, 10, 4, 20, 12, 1);
  return ravlon_set_view(rv, RAVLON_MAP_GRAY, RAVLON_SCALE_LINEAR, RAVLON_LIMITS_MINMAX,
                         RAVLON_VIEW_VMIN | RAVLON_VIEW_VMAX, 0, 0, 256) == 0 &&
         ravlon_show_frame(rv, 64, 48, format, frame) == 0 &&
         ravlon_show_region(rv, 10, 4, 20, 12, format, region) == 0;
}

int main(int argc, char **argv)
{
  ravlon *rv;
  unsigned char *px = NULL;
  int r;
  if (argc != 4 && argc != 7) {
    fprintf(stderr, "Usage: capi_client host port rgb|gray width height stride | typed | bad\n");
    return 2;
  }
  rv = ravlon_connect(argv[1], atoi(argv[2]));
  if (!rv) {
    fprintf(stderr, "capi_client: %s [errno %d]\n", ravlon_errmsg(), errno);
    return 1;
  }
  if (argc == 4 && strcmp(argv[3], "typed") == 0) {
    r = typed(rv);
    ravlon_close(rv);
  } else if (argc == 4) {
    px = image(3, 2, 4, 1);
    r = bad_calls(rv, argv[1], atoi(argv[2])) == 0 && px &&
        ravlon_show_gray(rv, px, 3, 2, 4) == 0 && ravlon_show_gray(rv, px, 3, 2, 4) == 0 &&
        ravlon_disconnect(rv) == 0;
  } else {
    int rgb = strcmp(argv[3], "rgb") == 0;
    int w = atoi(argv[4]);
    int h = atoi(argv[5]);
    size_t stride = (size_t)atol(argv[6]);
    px = image(w, h, stride, rgb ? 3 : 1);
    r = px && (rgb ? ravlon_show_rgb : ravlon_show_gray)(rv, px, w, h, stride) == 0;
    ravlon_close(rv);
  }
  free(px);
  if (!r)
    fprintf(stderr, "capi_client: %s\n", ravlon_errmsg());
  return r ? 0 : 1;
}

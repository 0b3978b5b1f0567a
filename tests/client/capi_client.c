/* A C program (C99, no C++) on the C interface, for the tests to watch:
 *
 *   capi_client HOST PORT rgb|gray WIDTH HEIGHT STRIDE
 *     shows the test pattern (pattern.h) as a row-major image whose rows
 *     are STRIDE bytes apart, the bytes between them 0xee, and leaves;
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

int main(int argc, char **argv)
{
  ravlon *rv;
  unsigned char *px;
  int r;
  if (argc != 4 && argc != 7) {
    fprintf(stderr, "Usage: capi_client host port rgb|gray width height stride | bad\n");
    return 2;
  }
  rv = ravlon_connect(argv[1], atoi(argv[2]));
  if (!rv) {
    fprintf(stderr, "capi_client: %s [errno %d]\n", ravlon_errmsg(), errno);
    return 1;
  }
  if (argc == 4) {
    px = image(3, 2, 4, 1);
    r = bad_calls(rv, argv[1], atoi(argv[2])) == 0 && px && ravlon_show_gray(rv, px, 3, 2, 4) == 0 &&
        ravlon_show_gray(rv, px, 3, 2, 4) == 0 && ravlon_disconnect(rv) == 0;
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

/* Shows a 320 x 200 colour gradient in ravlon and leaves.
 *
 *   cc gradient.c $(pkg-config --cflags --libs ravlon) -o gradient
 *   ./gradient $(hostname) [PORT]
 *
 * ravlon listens on the address of its host's own name unless told
 * otherwise. */
#include <ravlon.h>

#include <stdio.h>
#include <stdlib.h>

enum { W = 320, H = 200 };

int main(int argc, char **argv)
{
  static unsigned char rgb[H][W][3]; /* row-major, interleaved */
  ravlon *rv;
  int x, y;
  if (argc < 2) {
    fprintf(stderr, "Usage: gradient host [port]\n");
    return 2;
  }
  for (y = 0; y < H; y++)
    for (x = 0; x < W; x++) {
      rgb[y][x][0] = (unsigned char)(x * 255 / (W - 1));
      rgb[y][x][1] = (unsigned char)(y * 255 / (H - 1));
      rgb[y][x][2] = 128;
    }
  rv = ravlon_connect(argv[1], argc > 2 ? atoi(argv[2]) : RAVLON_DEFAULT_PORT);
  if (!rv || ravlon_show_rgb(rv, &rgb[0][0][0], W, H, sizeof rgb[0]) < 0) {
    fprintf(stderr, "gradient: %s\n", ravlon_errmsg());
    ravlon_close(rv);
    return 1;
  }
  ravlon_close(rv);
  return 0;
}

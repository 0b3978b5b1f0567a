// ravlon-demo: shows ravlon at work. Sends an animated RGB pattern, then a
// final still frame, holds the connection for a moment and leaves (or,
// with -q, ends the server).
//
//   ravlon-demo [-H host] [-p port] [-s side] [-n frames] [-t seconds] [-q]
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ravlon_client.h"

namespace {

struct Options {
  char host[256];
  int port = 9999;
  int side = 256;
  int frames = 60;
  int hold = 0;
  bool quit = false;
};

struct Planes {
  explicit Planes(int n) : r(n), g(n), b(n) {}
  std::vector<unsigned char> r, g, b;
};

unsigned char clamp(double v)
{
  return static_cast<unsigned char>(v < 0 ? 0 : v > 255 ? 255 : v);
}

// A plasma of drifting waves; phase t moves it from frame to frame.
// Planes are column by column: pixel (x, y) at x * side + y.
void fill(Planes& p, int side, double t)
{
  for (int x = 0; x < side; x++)
    for (int y = 0; y < side; y++) {
      double u = x * 6.2832 / side;
      double v = y * 6.2832 / side;
      double w =
          std::sin(u * 2 + t) + std::sin(v * 3 - t * 1.3) + std::sin((u + v) * 1.5 + t * 0.7);
      size_t i = static_cast<size_t>(x) * side + y;
      p.r[i] = clamp(128 + 127 * std::sin(w * 1.2));
      p.g[i] = clamp(128 + 127 * std::sin(w * 1.2 + 2.1));
      p.b[i] = clamp(128 + 127 * std::sin(w * 1.2 + 4.2));
    }
}

int usage(const char* prog)
{
  fprintf(stderr, "Usage: %s [-H host] [-p port] [-s side] [-n frames] [-t seconds] [-q]\n", prog);
  return 2;
}

int fail(const char* what)
{
  fprintf(stderr, "ravlon-demo: %s: %s\n", what, strerror(errno));
  return 1;
}

}  // namespace

int main(int argc, char** argv)
{
  Options o;
  if (gethostname(o.host, sizeof o.host) < 0)
    snprintf(o.host, sizeof o.host, "localhost");
  o.host[sizeof o.host - 1] = '\0';
  int c;
  while ((c = getopt(argc, argv, "H:p:s:n:t:q")) != -1) {
    switch (c) {
      case 'H': snprintf(o.host, sizeof o.host, "%s", optarg); break;
      case 'p': o.port = atoi(optarg); break;
      case 's': o.side = atoi(optarg); break;
      case 'n': o.frames = atoi(optarg); break;
      case 't': o.hold = atoi(optarg); break;
      case 'q': o.quit = true; break;
      default: return usage(argv[0]);
    }
  }
  if (o.side < 1 || o.side > 8192 || o.frames < 0 || o.hold < 0)
    return usage(argv[0]);

  RavlonClient cl;
  if (cl.connect(o.host, o.port) < 0)
    return fail("cannot connect");
  if (cl.resize(o.side, o.side) < 0)
    return fail("cannot send");
  int size = o.side * o.side;
  Planes p(size);
  for (int f = 0; f <= o.frames; f++) {
    fill(p, o.side, f * 0.12);
    if (cl.send_rgb(p.r.data(), p.g.data(), p.b.data(), size) < 0)
      return fail("cannot send");
    usleep(40000);
  }
  printf("ravlon-demo: sent %d frames\n", o.frames + 1);
  fflush(stdout);
  sleep(static_cast<unsigned>(o.hold));
  if (o.quit && cl.disconnect() < 0)
    return fail("cannot send");
  return 0;
}

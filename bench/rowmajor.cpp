// The C client's row-major frames, timed (rowmajor.h).
#include "rowmajor.h"

#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "ravlon_client.h"
#include "stream.h"

namespace {

// The planes of a row-major RGB image, transposed pixel by pixel along its
// rows, as a program without the library would write it.
void naive_transpose(const std::vector<unsigned char>& img, int w, int h,
                     std::vector<unsigned char>& planes)
{
  const size_t n = static_cast<size_t>(w) * h;
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++)
      for (int c = 0; c < 3; c++)
        planes[c * n + static_cast<size_t>(x) * h + y] = img[(static_cast<size_t>(y) * w + x) * 3 + c];
}

// Quickest milliseconds per frame of send over rounds of frames.
template <class Send>
double quickest_ms(int rounds, int frames, Send send)
{
  double best = 1e30;
  for (int r = 0; r < rounds; r++) {
    auto t0 = std::chrono::steady_clock::now();
    for (int f = 0; f < frames; f++)
      if (send() == -1)
        return -1;
    std::chrono::duration<double, std::milli> dt = std::chrono::steady_clock::now() - t0;
    best = std::min(best, dt.count() / frames);
  }
  return best;
}

int measure(int w, int h, int frames)
{
  int port = 0;
  int ls = listen_any(port);
  if (ls < 0)
    return -1;
  // The reader only reads, in a thread of its own.
  std::thread reader([ls] {
    int s = accept(ls, nullptr, nullptr);
    std::vector<char> buf(1 << 20);
    while (s >= 0 && read(s, buf.data(), buf.size()) > 0) {
    }
    if (s >= 0)
      close(s);
  });
  RavlonClient c;
  int res = connect_nodelay(c, port);
  const size_t n = static_cast<size_t>(w) * h;
  std::vector<unsigned char> img(n * 3), planes(n * 3);
  for (size_t i = 0; i < img.size(); i++)
    img[i] = static_cast<unsigned char>(i * 7 + i / 4099);
  const int rounds = 3;
  double ready = -1, tiled = -1, naive = -1;
  if (res == 0) {
    ready = quickest_ms(rounds, frames, [&] {
      return c.send_rgb(planes.data(), planes.data() + n, planes.data() + 2 * n, int(n));
    });
    tiled = quickest_ms(rounds, frames, [&] { return c.show_rgb(img.data(), w, h, w * 3u); });
    naive = quickest_ms(rounds, frames, [&] {
      naive_transpose(img, w, h, planes);
      return c.send_rgb(planes.data(), planes.data() + n, planes.data() + 2 * n, int(n));
    });
  }
  c.close();
  reader.join();
  close(ls);
  if (ready < 0 || tiled < 0 || naive < 0) {
    fprintf(stderr, "render_bench: the loopback reader cannot be reached\n");
    return -1;
  }
  const double ns = 1e6 / static_cast<double>(n);
  printf("  %4dx%-4d  %6d %9.2f %12.2f %8.2f %9.2f %8.2f\n", w, h, frames, ready, tiled, naive,
         (tiled - ready) * ns, (naive - ready) * ns);
  return 0;
}

}  // namespace

int rowmajor_figures(bool brief)
{
  printf(
      "row-major RGB frames through the C client into a loopback reader, ms per frame "
      "(quickest round):\nplanes ready (send_rgb), show_rgb (tiles), a loop along the rows "
      "(send_rgb after it);\nthe transposition's ns per pixel over the ready planes\n");
  printf("  size       frames  ready ms  show_rgb ms  loop ms  tiles ns  loop ns\n");
  int res = measure(1920, 1080, brief ? 10 : 60);
  return res | measure(3840, 2160, brief ? 3 : 15);
}

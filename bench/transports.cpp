#include "transports.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "net/protocol.h"
#include "stream.h"

namespace {

struct Size {
  int w;
  int h;
  int frames;
};

int write_all(int fd, const unsigned char* p, size_t n)
{
  while (n > 0) {
    ssize_t r = write(fd, p, n);
    if (r <= 0)
      return -1;
    p += r;
    n -= static_cast<size_t>(r);
  }
  return 0;
}

unsigned char* put_int(unsigned char* p, int v)
{
  for (int s = 24; s >= 0; s -= 8)
    *p++ = static_cast<unsigned char>(static_cast<unsigned>(v) >> s);
  return p;
}

// Row-major RGB frames, the quickest way in, as any client sends them on
// either kind of socket: the same writes, so that only the transport
// differs.
int send_rgb(int fd, const Size& s, int frames)
{
  const std::vector<unsigned char> rows(static_cast<size_t>(s.w) * s.h * 3, 0x5a);
  unsigned char head[16];
  put_int(put_int(put_int(put_int(head, RAVLON_REQ_FRAME), s.w), s.h), RAVLON_RGB);
  for (int k = 0; k < frames; k++)
    if (write_all(fd, head, sizeof head) < 0 || write_all(fd, rows.data(), rows.size()) < 0)
      return -1;
  return 0;
}

double seconds_since(std::chrono::steady_clock::time_point t0)
{
  std::chrono::duration<double> dt = std::chrono::steady_clock::now() - t0;
  return dt.count();
}

// Frames per second into ravlon's window; the clock stops when ravlon has
// shown them all and ended on the disconnect request. Without a history:
// the few frames of a brief run would all be its first, which fault their
// memory in.
double end_to_end_fps(const Size& s, bool local)
{
  Served sv;
  if (sv.start(RAVLON_BINARY, true, local, "ravlon.historyMemory: 0\n") == -1)
    return -1;
  unsigned char resize[12];
  put_int(put_int(put_int(resize, RAVLON_REQ_RESIZE), s.w), s.h);
  int sent = write_all(sv.sock(), resize, sizeof resize);
  const auto t0 = std::chrono::steady_clock::now();
  if (sent == 0)
    sent = send_rgb(sv.sock(), s, s.frames);
  if (sv.finish(sent) == -1)
    return -1;
  return s.frames / seconds_since(t0);
}

// A connected pair of the kind: a Unix stream pair, or loopback TCP with
// Nagle's delay off as ravlon's clients have it. -1 when none.
int socket_pair(bool local, int ends[2])
{
  if (local)
    return socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends);
  int port = 0;
  int ls = listen_any(port);
  if (ls < 0)
    return -1;
  sockaddr_in sa = {};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(static_cast<unsigned short>(port));
  sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ends[0] = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int on = 1;
  setsockopt(ends[0], IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  const bool ok = connect(ends[0], reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0 &&
                  (ends[1] = accept(ls, nullptr, nullptr)) >= 0;
  close(ls);
  if (!ok)
    close(ends[0]);
  return ok ? 0 : -1;
}

// Milliseconds per frame through the transport to a process that only
// reads.
double floor_ms(const Size& s, bool local)
{
  int ends[2];
  if (socket_pair(local, ends) < 0)
    return -1;
  pid_t pid = fork();
  if (pid == 0) {
    close(ends[0]);
    std::vector<char> buf(1 << 20);
    while (read(ends[1], buf.data(), buf.size()) > 0) {
    }
    _exit(0);
  }
  close(ends[1]);
  const auto t0 = std::chrono::steady_clock::now();
  const int sent = pid > 0 ? send_rgb(ends[0], s, s.frames) : -1;
  close(ends[0]);
  int status = 1;
  if (pid > 0)
    waitpid(pid, &status, 0);
  return sent == 0 && status == 0 ? 1000.0 * seconds_since(t0) / s.frames : -1;
}

}  // namespace

int transport_figures(bool brief)
{
  const Size sizes[] = {{1920, 1080, brief ? 30 : 300}, {3840, 2160, brief ? 8 : 60}};
  printf(
      "transports: row-major RGB frames from a client on this host to a ravlon process (no\n"
      "history) over TCP and over its local socket, shown, until it ends; the floor is the same\n"
      "bytes through a plain socket of that kind\n");
  printf("  size       transport  frames   frames/s  ms/frame   floor ms  floor/s  local/TCP\n");
  for (const Size& s : sizes) {
    double fps[2];
    for (bool local : {false, true}) {
      fps[local] = end_to_end_fps(s, local);
      const double fl = floor_ms(s, local);
      if (fps[local] <= 0 || fl <= 0) {
        fprintf(stderr, "render_bench: the %s transport failed\n", local ? "local" : "TCP");
        return -1;
      }
      printf("  %4dx%-4d  %-9s %7d %10.1f %9.2f %10.2f %8.0f", s.w, s.h, local ? "local" : "TCP",
             s.frames, fps[local], 1000.0 / fps[local], fl, 1000.0 / fl);
      if (local)
        printf(" %10.2f", fps[1] / fps[0]);
      printf("\n");
    }
  }
  return 0;
}

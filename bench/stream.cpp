#include "stream.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "ravlon_client.h"

namespace {

int free_port()
{
  int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in sa = {};
  sa.sin_family = AF_INET;
  socklen_t len = sizeof sa;
  int port = -1;
  if (s >= 0 && bind(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0 &&
      getsockname(s, reinterpret_cast<sockaddr*>(&sa), &len) == 0)
    port = ntohs(sa.sin_port);
  if (s >= 0)
    close(s);
  return port;
}

// ravlon listens on the address of the host's own name.
int connect_when_ready(RavlonClient& c, pid_t pid, int port)
{
  char host[512] = {};
  gethostname(host, sizeof host - 1);
  for (int i = 0; i < 500; i++) {
    if (c.connect(host, port) == 0) {
      int on = 1;
      setsockopt(c.sock, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
      return 0;
    }
    if (waitpid(pid, nullptr, WNOHANG) == pid)
      break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  fprintf(stderr, "render_bench: cannot connect to ravlon on port %d\n", port);
  return -1;
}

int send_frames(RavlonClient& c, int side, bool rgb, int frames)
{
  const int size = side * side;
  std::vector<unsigned char> r(size), g(size), b(size);
  for (int i = 0; i < size; i++) {
    r[i] = static_cast<unsigned char>(i);
    g[i] = static_cast<unsigned char>(i / side);
    b[i] = static_cast<unsigned char>(i * 7);
  }
  if (c.resize(side, side) == -1)
    return -1;
  for (int k = 0; k < frames; k++) {
    int res = rgb ? c.send_rgb(r.data(), g.data(), b.data(), size) : c.send_colmap(r.data(), size);
    if (res == -1)
      return -1;
  }
  return c.disconnect();
}

}  // namespace

double stream_fps(const char* ravlon, int side, bool rgb, int frames)
{
  int port = free_port();
  std::string ps = std::to_string(port);
  pid_t pid = fork();
  if (pid == 0) {
    execl(ravlon, ravlon, "-p", ps.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  RavlonClient c;
  if (pid < 0 || connect_when_ready(c, pid, port) == -1) {
    if (pid > 0) {
      kill(pid, SIGTERM);
      waitpid(pid, nullptr, 0);
    }
    return -1;
  }
  auto t0 = std::chrono::steady_clock::now();
  int sent = send_frames(c, side, rgb, frames);
  // Without the disconnect request ravlon would wait for the next client.
  if (sent == -1)
    kill(pid, SIGINT);
  int status = 0;
  waitpid(pid, &status, 0);
  std::chrono::duration<double> dt = std::chrono::steady_clock::now() - t0;
  if (sent == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    fprintf(stderr, "render_bench: streaming to ravlon failed\n");
    return -1;
  }
  return frames / dt.count();
}

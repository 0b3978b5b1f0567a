#include "stream.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "frameplanes.h"
#include "showwait.h"

namespace {

int free_port()
{
  int port = -1;
  int s = listen_any(port);
  if (s >= 0)
    close(s);
  return port;
}

// A resource file for ravlon, which it has read once its picture shows;
// "" when none is needed (or none could be written).
std::string resource_file(bool shared, const char* extra)
{
  if (shared && !extra)
    return "";
  std::string file = "/tmp/render_bench-" + std::to_string(getpid()) + ".ad";
  FILE* f = fopen(file.c_str(), "w");
  if (!f)
    return "";
  fputs(shared ? "" : "ravlon.sharedPixmaps: false\n", f);
  fputs(extra ? extra : "", f);
  fclose(f);
  return file;
}

}  // namespace

long status_kb(pid_t pid, const char* name)
{
  std::string path = "/proc/" + std::to_string(pid) + "/status";
  FILE* f = fopen(path.c_str(), "r");
  char line[256];
  long kb = -1;
  const size_t len = strlen(name);
  while (f && kb < 0 && fgets(line, sizeof line, f))
    if (strncmp(line, name, len) == 0 && line[len] == ':')
      sscanf(line + len + 1, "%ld", &kb);
  if (f)
    fclose(f);
  return kb;
}

int Served::start(const char* ravlon, bool shared, bool local, const char* resources)
{
  int port = free_port();
  std::string ps = std::to_string(port);
  const std::string rsrc = resource_file(shared, resources);
  pid = fork();
  if (pid == 0) {
    if (!rsrc.empty())
      setenv("XENVIRONMENT", rsrc.c_str(), 1);
    execl(ravlon, ravlon, "-p", ps.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  bool shown = false;
  if (pid > 0 && connect_when_ready(port, local) == -1)
    fprintf(stderr, "render_bench: cannot connect to ravlon on port %d\n", port);
  else if (pid > 0)
    shown = wait_ravlon_picture(10000) == 0;
  if (!rsrc.empty())
    unlink(rsrc.c_str());
  if (shown)
    return 0;
  if (pid > 0) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
  }
  return -1;
}

int Served::finish(int sent)
{
  const unsigned char disconnect[4] = {0, 0, 0, RAVLON_REQ_DISCONNECT};
  if (sent == 0 && local_sock >= 0)
    sent = write(local_sock, disconnect, 4) == 4 ? 0 : -1;
  else if (sent == 0)
    sent = c.disconnect();
  if (local_sock >= 0)
    close(local_sock);
  if (sent == -1)
    kill(pid, SIGINT);
  int status = 0;
  waitpid(pid, &status, 0);
  if (sent == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0)
    return 0;
  fprintf(stderr, "render_bench: streaming to ravlon failed\n");
  return -1;
}

int Served::connect_when_ready(int port, bool local)
{
  for (int i = 0; i < 500; i++) {
    if ((local ? connect_local(port) : connect_nodelay(c, port)) == 0)
      return 0;
    if (waitpid(pid, nullptr, WNOHANG) == pid)
      break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return -1;
}

int Served::connect_local(int port)
{
  sockaddr_un sa = {};
  sa.sun_family = AF_UNIX;
  snprintf(sa.sun_path, sizeof sa.sun_path, "%s/%d", RAVLON_UNIX_DIR, port);
  local_sock = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (local_sock >= 0 && connect(local_sock, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0)
    return 0;
  if (local_sock >= 0)
    close(local_sock);
  local_sock = -1;
  return -1;
}

int listen_any(int& port)
{
  int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in sa = {};
  sa.sin_family = AF_INET;
  socklen_t len = sizeof sa;
  if (s >= 0 && bind(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0 && listen(s, 1) == 0 &&
      getsockname(s, reinterpret_cast<sockaddr*>(&sa), &len) == 0) {
    port = ntohs(sa.sin_port);
    return s;
  }
  if (s >= 0)
    close(s);
  return -1;
}

int send_frames(RavlonClient& c, const FramePlanes& p, bool rgb, int frames)
{
  const int size = static_cast<int>(p.r.size());
  for (int k = 0; k < frames; k++) {
    int res = rgb ? c.send_rgb(p.r.data(), p.g.data(), p.b.data(), size)
                  : c.send_colmap(p.r.data(), size);
    if (res == -1)
      return -1;
  }
  return 0;
}

int connect_nodelay(RavlonClient& c, int port)
{
  char host[512] = {};
  gethostname(host, sizeof host - 1);
  if (c.connect(host, port) == -1)
    return -1;
  int on = 1;
  setsockopt(c.sock, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return 0;
}

int stream_frames(const char* ravlon, int w, int h, bool rgb, int frames, bool shared,
                  StreamRun& out, const char* keys, const char* resources)
{
  FramePlanes p(w, h);  // made before the clock starts
  Served s;
  if (s.start(ravlon, shared, false, resources) == -1)
    return -1;
  int sent = 0;
  if (keys) {
    sent = s.c.resize(w, h) == -1 || send_frames(s.c, p, rgb, 1) == -1 ? -1 : ravlon_keys(keys);
  }
  auto t0 = std::chrono::steady_clock::now();
  if (sent == 0)
    sent = !keys && s.c.resize(w, h) == -1 ? -1 : send_frames(s.c, p, rgb, frames);
  if (ravlon_view(out.view_w, out.view_h) == -1)
    out.view_w = out.view_h = 0;
  out.peak_kb = status_kb(s.pid, "VmHWM");
  if (s.finish(sent) == -1)
    return -1;
  std::chrono::duration<double> dt = std::chrono::steady_clock::now() - t0;
  out.fps = frames / dt.count();
  return 0;
}

int stream_rowmajor(const char* ravlon, int w, int h, int frames, double& fps)
{
  std::vector<unsigned char> img(static_cast<size_t>(w) * h * 3);
  for (size_t i = 0; i < img.size(); i++)
    img[i] = static_cast<unsigned char>(i * 7 + i / 5);
  Served s;
  if (s.start(ravlon) == -1)
    return -1;
  auto t0 = std::chrono::steady_clock::now();
  int sent = 0;
  for (int k = 0; k < frames && sent == 0; k++)
    sent = s.c.show_rgb(img.data(), w, h, static_cast<size_t>(w) * 3);
  if (s.finish(sent) == -1)
    return -1;
  std::chrono::duration<double> dt = std::chrono::steady_clock::now() - t0;
  fps = frames / dt.count();
  return 0;
}

// The second after the picture appeared lets start-up settle.
long idle_resident_kb(const char* ravlon)
{
  Served s;
  if (s.start(ravlon) == -1)
    return -1;
  std::this_thread::sleep_for(std::chrono::seconds(1));
  long kb = status_kb(s.pid, "VmRSS");
  if (s.finish(0) == -1)
    return -1;
  if (kb < 0)
    fprintf(stderr, "render_bench: cannot read the resident size of ravlon\n");
  return kb;
}

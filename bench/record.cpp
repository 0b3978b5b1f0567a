#include "record.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "WContext.h"
#include "frameplanes.h"
#include "stream.h"
#include "window/image.h"
#include "window/imagewnd.h"

namespace {

// Frames/s from a client process that streams RGB frames until it leaves
// to the window's server, each frame read, drawn and shown in this
// process's loop; -1 when the client fails.
double served_fps(ImageWnd& iw, const FramePlanes& p, int w, int h, int frames)
{
  int port = -1;
  const int s = listen_any(port);
  if (s >= 0)
    close(s);
  if (port < 0 || iw.start_server(port) == -1)
    return -1;
  const long shown = iw.image()->frames_shown;
  const auto t0 = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    RavlonClient c;
    _exit(connect_nodelay(c, port) == -1 || c.resize(w, h) == -1 ||
                  send_frames(c, p, true, frames) == -1
              ? 1
              : 0);
  }
  bool came = false;
  while (pid > 0 && !(came && !iw.server.connected)) {
    XtAppProcessEvent(context->xtctx, XtIMAll);
    came = came || iw.server.connected;
  }
  int status = 1;
  if (pid > 0)
    waitpid(pid, &status, 0);
  iw.server.disconn_client();
  const std::chrono::duration<double> dt = std::chrono::steady_clock::now() - t0;
  const long n = iw.image()->frames_shown - shown;
  return status == 0 && n == frames ? n / dt.count() : -1;
}

}  // namespace

int record_figures(XStandardColormap& map, bool brief)
{
  const int w = 1920, h = 1080, frames = brief ? 30 : 300;
  const std::string file = "/tmp/render_bench-" + std::to_string(getpid()) + ".rec";
  FramePlanes p(w, h);
  ImageWnd* iw = new ImageWnd(&map);
  imagewnd = iw;
  iw->show();
  while (!iw->image()->pixmap)
    XtAppProcessEvent(context->xtctx, XtIMAll);
  const double plain = served_fps(*iw, p, w, h, frames);
  const int started = iw->server.recorder.start(file.c_str(), nullptr);
  const double recorded = started == 0 ? served_fps(*iw, p, w, h, frames) : -1;
  iw->server.recorder.stop();
  struct stat st = {};
  stat(file.c_str(), &st);
  unlink(file.c_str());
  imagewnd = nullptr;
  delete iw;
  if (plain < 0 || recorded < 0) {
    fprintf(stderr, "render_bench: the stream with and without recording failed\n");
    return -1;
  }
  printf("recording: %d RGB frames of %dx%d to an image window of this process over TCP\n", frames,
         w, h);
  printf(
      "  frames/s without recording %.0f, recording to a local file %.0f (%.0f MB): %.1f %%"
      " slower\n",
      plain, recorded, st.st_size / 1e6, 100.0 * (plain - recorded) / plain);
  return 0;
}

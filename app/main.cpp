// Start-up of ravlon: arms the process, opens the display (Xt takes its own
// options off the command line), reads the rest of it, picks the standard
// colour map, builds the image window, starts the server and shows the
// window, then hands control to the Xt main loop for good.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include "EEtc.h"
#include "WContext.h"
#include "WEtc.h"
#include "WShl.h"
#include "net/allowlist.h"
#include "net/keyfile.h"
#include "net/localsock.h"
#include "fallback.h"
#include "window/image.h"
#include "window/imagewnd.h"
#include "net/listenaddr.h"
#include "net/protocol.h"
#include "render/colourfile.h"
#include "base/resources.h"
#include "base/service.h"
#include "render/colourfile.h"

namespace {

// SIGINT may arrive while the process is inside Xlib, where cleanup's X
// calls are not safe: the handler only wakes the main loop, which quits.
int sigint_pipe[2] = {-1, -1};
// Until the pipe is watched nothing would read the byte, and start-up may
// wait for good on an X server that never answers. Before the window exists
// there is nothing to clean up, so SIGINT ends the process at once.
volatile sig_atomic_t sigint_watched = 0;

void sigint_handler(int)
{
  if (!sigint_watched)
    _exit(0);
  int e = errno;
  // A full pipe already holds a quit byte; any other failure leaves no way
  // to reach the loop.
  if (write(sigint_pipe[1], "i", 1) != 1 && errno != EAGAIN)
    _exit(0);
  errno = e;
}

// A bus error or segmentation fault runs the faulting instruction again
// with the default action restored, which ends the process (without a
// core file).
void sigbus_handler(int) {}
void sigsegv_handler(int) {}

void ip_sigint(XtPointer, int*, XtInputId*)
{
  cleanup();
  exit(0);
}

void watch_sigint(XtAppContext app)
{
  if (sigint_pipe[0] < 0)
    return;
  XtAppAddInput(app, sigint_pipe[0], reinterpret_cast<XtPointer>(XtInputReadMask), ip_sigint,
                nullptr);
  sigint_watched = 1;
}

void arm_signals()
{
  struct sigaction sa;
  memset(&sa, 0, sizeof sa);
  // Without the pipe nothing ever watches it: SIGINT still ends the
  // process with status 0, only without cleanup.
  if (pipe(sigint_pipe) == 0) {
    for (int fd : sigint_pipe)
      fcntl(fd, F_SETFD, FD_CLOEXEC);
    fcntl(sigint_pipe[1], F_SETFL, O_NONBLOCK);
  }
  sa.sa_handler = sigint_handler;
  sigaction(SIGINT, &sa, nullptr);
  sa.sa_flags = SA_RESETHAND;
  sa.sa_handler = sigbus_handler;
  sigaction(SIGBUS, &sa, nullptr);
  sa.sa_handler = sigsegv_handler;
  sigaction(SIGSEGV, &sa, nullptr);
}

void no_core_files()
{
  rlimit rl;
  rl.rlim_cur = 0;
  rl.rlim_max = 0;
  setrlimit(RLIMIT_CORE, &rl);
}

// The command's name without its directory, as Xt names the application:
// messages start with it and the windows' resources are keyed by it, so
// that ravlon run by its path (/usr/bin/ravlon) keeps its look.
const char* command_name(const char* argv0)
{
  if (!argv0 || !argv0[0])
    return "ravlon";
  const char* slash = strrchr(argv0, '/');
  return slash ? slash + 1 : argv0;
}

[[noreturn]] void fail(const char* msg)
{
  fprintf(stderr, "%s: %s\n", appname, msg);
  exit(1);
}

[[noreturn]] void usage()
{
  fail("Usage: ravlon [-c rgbfile] [-p svrport]");
}

// Decimal digits only, 1 to 65535; -1 for anything else.
int parse_port(const char* s)
{
  long v = 0;
  for (const char* p = s; *p; p++) {
    if (*p < '0' || *p > '9')
      return -1;
    v = v * 10 + (*p - '0');
    if (v > 65535)
      return -1;
  }
  return v >= 1 ? static_cast<int>(v) : -1;
}

// Xt has taken its own options out of argv already. A colour file name
// that does not fit its buffer is refused rather than cut short into the
// name of some other file.
void parse_options(int argc, char** argv, int& port, char* rgbfile, size_t len)
{
  int c;
  char msg[512];
  while ((c = getopt(argc, argv, "c:p:h")) != -1) {
    switch (c) {
      case 'c':
        if (strlen(optarg) >= len)
          usage();
        snprintf(rgbfile, len, "%s", optarg);
        break;
      case 'p':
        port = parse_port(optarg);
        if (port < 0) {
          snprintf(msg, sizeof msg, "Invalid port \"%.400s\": give a number from 1 to 65535.",
                   optarg);
          fail(msg);
        }
        break;
      default: usage();
    }
  }
}

// Refused now rather than at the first colour-mapped frame: a file that
// cannot be opened, or opens but cannot be read (a directory), and one
// whose colours would be anything but what its lines say.
void check_rgbfile(const char* path)
{
  FILE* f = fopen(path, "r");
  bool ok = f && (fgetc(f) != EOF || !ferror(f));
  const int err = errno;
  if (f)
    fclose(f);
  const int bad = ok ? check_colour_file(path) : -1;
  if (bad == 0)
    return;
  char msg[600];
  if (bad == -1) {
    colour_file_message(msg, sizeof msg, path, ok ? errno : err);
  } else {
    const int n = snprintf(msg, sizeof msg, "Cannot read RGB color file %s", path);
    if (bad == COLOUR_FILE_EMPTY)
      snprintf(msg + n, sizeof msg - n, ": it holds no line of three numbers.");
    else
      snprintf(msg + n, sizeof msg - n, ": line %d is not three numbers.", bad);
  }
  fail(msg);
}

// An 8-plane screen carries its map as the default map, deeper ones as
// the best map. The list stays allocated for the whole run.
XStandardColormap* standard_map()
{
  Atom prop = colorpln == 8 ? XA_RGB_DEFAULT_MAP : XA_RGB_BEST_MAP;
  XStandardColormap* maps = nullptr;
  int count = 0;
  if (XGetRGBColormaps(display, root_wnd, &maps, &count, prop) && maps && count > 0)
    return maps;
  fail(colorpln == 8 ? "XA_RGB_DEFAULT_MAP standard colormap not allocated."
                     : "XA_RGB_BEST_MAP standard colormap not allocated.");
}

// The address the user chose with listenAddress, in at; nullptr when
// unset. One that does not resolve ends the start-up.
const ListenAt* chosen_address(Widget appshell, ListenAt& at)
{
  const char* value = listen_address(appshell);
  if (!value)
    return nullptr;
  if (resolve_listen_address(value, at) < 0) {
    char msg[512];
    snprintf(msg, sizeof msg, "Cannot resolve listenAddress %.460s.", value);
    fail(msg);
  }
  return &at;
}

void read_allow_list(Widget appshell)
{
  char bad[128];
  if (allow_from.parse(allow_from_resource(appshell), bad, sizeof bad) == 0)
    return;
  char msg[512];
  snprintf(msg, sizeof msg, "Malformed allowFrom entry %s.", bad);
  fail(msg);
}

// With keyFile set every client must send the key the file holds, or the
// new one made there.
void read_key(Widget appshell)
{
  const char* file = key_file_resource(appshell);
  if (!file)
    return;
  unsigned char key[RAVLON_KEY_BYTES];
  char msg[512];
  if (load_key(file, key, msg, sizeof msg) < 0)
    fail(msg);
  imagewnd->server.set_key(key);
}

// The window's own title would hide the one -title (or the title
// resource) gives.
void take_title(Widget appshell)
{
  const char* title = string_resource(appshell, "title", "Title");
  if (title)
    imagewnd->set_title(title);
}

// Megabytes of frames the history keeps: a whole number, 0 for none.
void take_history_budget(Widget appshell)
{
  const char* value = string_resource(appshell, "historyMemory", "HistoryMemory");
  if (!value)
    return;
  char* end = nullptr;
  errno = 0;
  const long mb = strtol(value, &end, 10);
  while (end != value && (*end == ' ' || *end == '\t'))
    end++;
  if (end == value || *end || errno || mb < 0 || mb > (1L << 20)) {
    char msg[512];
    snprintf(msg, sizeof msg, "Invalid historyMemory %.460s.", value);
    fail(msg);
  }
  imagewnd->history.set_budget(mb << 20);
}

// Xlib ends the process when this returns; its own words would lack the
// program's name.
int x_connection_lost(Display*)
{
  fail("Lost the connection to the X server.");
}

}  // namespace

int main(int argc, char** argv)
{
  rearm_out_of_mem();
  arm_signals();
  no_core_files();
  appname = strnew(command_name(argv[0]));

  int port = RAVLON_DEFAULT_PORT;
  char rgbfile[512] = "";
  XtAppContext app = nullptr;
  WAppShell* shell =
      new WAppShell("Ravlon", "Ravlon", argc, argv, app, const_cast<char**>(fallback_rsrc));
  if (!shell->xtwgt)
    fail("Cannot connect to X server.");
  XSetIOErrorHandler(x_connection_lost);
  parse_options(argc, argv, port, rgbfile, sizeof rgbfile);
  context = new WContext(shell, app);

  ListenAt listen_at;
  const ListenAt* at = chosen_address(shell->xtwgt, listen_at);
  read_allow_list(shell->xtwgt);
  if (rgbfile[0])
    check_rgbfile(rgbfile);

  XStandardColormap* map = rgbfile[0] ? nullptr : standard_map();
  imagewnd = new ImageWnd(map);
  if (rgbfile[0])
    imagewnd->image()->rgbfile = strnew(rgbfile);
  take_title(shell->xtwgt);
  take_history_budget(shell->xtwgt);
  read_key(shell->xtwgt);
  char local[512];
  local_socket_path(shell->xtwgt, port, local, sizeof local);
  // A server that cannot be reached must not look like a healthy one.
  if (imagewnd->start_server(port, at, local) < 0)
    fail(buf);
  watch_sigint(app);  // from the window on, the loop quits and cleans up
  imagewnd->show();
  context->run();
  return 0;
}

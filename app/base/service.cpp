// The error channel, the shared message buffer and exact-count socket I/O.
#include "base/service.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <new>

#include <X11/Xlib.h>

#include "WContext.h"
#include "WError.h"
#include "WEtc.h"
#include "WShl.h"

WError* errdlg = nullptr;
char buf[512];

namespace {

char x_error_seen;
XErrorHandler x_error_prev;

int x_error_noted(Display*, XErrorEvent*)
{
  x_error_seen = 1;
  return 0;
}

}  // namespace

// Without the display context there is no window to show a message in
// (the free-store handler is armed before the display is opened).
void error_dialog(const char* msg)
{
  if (!context || !context->appshl || !context->appshl->xtwgt) {
    fprintf(stderr, "%s: %s\n", appname ? appname : "ravlon", msg);
    return;
  }
  if (!errdlg) {
    errdlg = new (std::nothrow) WError(context->appshl->xtwgt);
    if (!errdlg || !errdlg->xtwgt) {
      fputs("Cannot create Error Window.", stderr);
      exit(1);
    }
  }
  errdlg->set_message(msg);
  errdlg->show();
}

int readn(int fd, void* dst, int n)
{
  char* p = static_cast<char*>(dst);
  int left = n;
  while (left > 0) {
    ssize_t r = read(fd, p, static_cast<size_t>(left));
    if (r < 0)
      return -1;
    if (r == 0)
      return n - left;
    p += r;
    left -= static_cast<int>(r);
  }
  return n > 0 ? n : 0;
}

int writen(int fd, const void* src, int n)
{
  const char* p = static_cast<const char*>(src);
  int left = n;
  while (left > 0) {
    ssize_t r = write(fd, p, static_cast<size_t>(left));
    if (r < 0)
      return -1;
    p += r;
    left -= static_cast<int>(r);
  }
  return n > 0 ? n : 0;
}

void out_of_mem()
{
  std::set_new_handler(nullptr);
  error_dialog("Out of memory.");
}

void rearm_out_of_mem()
{
  std::set_new_handler(out_of_mem);
}

// The syncs keep earlier and later errors out of the trap.
void trap_x_errors()
{
  XSync(display, False);
  x_error_seen = 0;
  x_error_prev = XSetErrorHandler(x_error_noted);
}

int untrap_x_errors()
{
  XSync(display, False);
  XSetErrorHandler(x_error_prev);
  return x_error_seen ? -1 : 0;
}

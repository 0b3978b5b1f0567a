// The server side of the image window: the control (listening) socket, the
// data socket of the one client served at a time, and their input sources.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "WContext.h"
#include "WEtc.h"
#include "image.h"
#include "imagewnd.h"
#include "listenaddr.h"
#include "service.h"

// The server listens on addr, the address the user chose, or without one
// on the address the host's own name resolves to, not on every interface.
int ImageWnd::start_server(int p, const in_addr* addr)
{
  in_addr own;
  if (!addr) {
    char host[512];
    if (gethostname(host, sizeof host) < 0)
      host[0] = '\0';
    host[sizeof host - 1] = '\0';
    if (resolve_address(host, own) < 0) {
      snprintf(buf, sizeof buf, "Cannot get host entry for %.480s.", host);
      error_dialog(buf);
      return -1;
    }
    addr = &own;
  }
  int s = socket(AF_INET, SOCK_STREAM, 0);
  if (s < 0) {
    error_dialog("Cannot create control socket.");
    return -1;
  }
  ctl_sock = s;
  watch_control(1);

  sockaddr_in sa;
  memset(&sa, 0, sizeof sa);
  sa.sin_family = AF_INET;
  sa.sin_port = htons(static_cast<unsigned short>(p & 0xffff));
  sa.sin_addr = *addr;
  port = p;
  if (bind(ctl_sock, reinterpret_cast<sockaddr*>(&sa), sizeof sa) < 0)
    return fail_start("Cannot bind control socket.");
  if (listen(ctl_sock, 5) < 0)
    return fail_start("Cannot listen on control socket.");
  listening = 1;
  show_status();
  return 0;
}

// A socket that is neither bound nor listening must not wake the loop.
int ImageWnd::fail_start(const char* msg)
{
  error_dialog(msg);
  watch_control(0);
  close(ctl_sock);
  ctl_sock = 0;
  return -1;
}

// While a client is served the control source is suspended: a second
// client waits in the listen queue without waking the loop.
void ImageWnd::watch_control(char on)
{
  if (on && !accept_input && ctl_sock) {
    accept_input =
        XtAppAddInput(context->xtctx, ctl_sock, reinterpret_cast<XtPointer>(XtInputReadMask),
                      ip_accept_imagewnd, nullptr);
  } else if (!on && accept_input) {
    XtRemoveInput(accept_input);
    accept_input = 0;
  }
}

namespace {

// The data socket never blocks: a read takes what has arrived, so the
// window answers while a request is on its way.
void no_blocking(int s)
{
  int fl = fcntl(s, F_GETFL);
  fcntl(s, F_SETFL, (fl < 0 ? 0 : fl) | O_NONBLOCK);
}

// The numeric address of the socket's peer, IPv4 or IPv6; "" when unknown.
void peer_address(int s, char* out, size_t n)
{
  sockaddr_storage ss;
  socklen_t len = sizeof ss;
  out[0] = '\0';
  if (getpeername(s, reinterpret_cast<sockaddr*>(&ss), &len) < 0 ||
      getnameinfo(reinterpret_cast<sockaddr*>(&ss), len, out, static_cast<socklen_t>(n), nullptr, 0,
                  NI_NUMERICHOST) != 0)
    out[0] = '\0';
}

// How long the control socket rests after an accept that failed.
const int ACCEPT_REST_MS = 200;

}  // namespace

void tp_accept_imagewnd(XtPointer, XtIntervalId*)
{
  if (imagewnd)
    imagewnd->end_rest();
}

// A failed accept leaves the server waiting for the next client. A client
// that gave up in the queue is gone, but one that could not be taken (no
// descriptor free) keeps the socket readable: the control socket rests for
// a moment instead of waking the loop on every pass, and nothing is drawn.
int ImageWnd::conn_client()
{
  if (!listening || connected)
    return -1;
  sockaddr_in peer;
  socklen_t len = sizeof peer;
  int s = accept(ctl_sock, reinterpret_cast<sockaddr*>(&peer), &len);
  if (s < 0) {
    rest_control();
    return -1;
  }
  no_blocking(s);
  decoder.reset();
  data_sock = s;
  connected = 1;
  data_input =
      XtAppAddInput(context->xtctx, data_sock, reinterpret_cast<XtPointer>(XtInputReadMask),
                    ip_dispatch_imagewnd, nullptr);
  watch_control(0);
  peer_address(s, this->peer, sizeof this->peer);
  show_status();
  return 0;
}

void ImageWnd::rest_control()
{
  watch_control(0);
  if (!accept_rest.is_pending())
    accept_rest.start_in(ACCEPT_REST_MS);
}

void ImageWnd::end_rest()
{
  if (!connected)
    watch_control(1);
}

// The last frame's vectors stay: the picture can still be zoomed and
// panned after its client has gone.
void ImageWnd::end_client()
{
  close_data();
  connected = 0;
  watch_control(1);
  show_status();
}

// A peer that has already reset the connection leaves nothing to shut
// down; that is no failure of ours.
int ImageWnd::close_data()
{
  stall.stop();
  if (data_input) {
    XtRemoveInput(data_input);
    data_input = 0;
  }
  if (!data_sock)
    return 0;
  int r = 0;
  if (shutdown(data_sock, SHUT_RDWR) < 0 && errno != ENOTCONN) {
    error_dialog("Cannot shutdown data socket.");
    r = -1;
  }
  if (close(data_sock) < 0 && r == 0) {
    error_dialog("Cannot close data socket.");
    r = -1;
  }
  data_sock = 0;
  return r;
}

void ImageWnd::free_vectors()
{
  if (image())
    image()->forget_frame();
  for (int p = PLANE_RED; p <= PLANE_CVEC; p++) {
    unsigned char** vec = nullptr;
    int* cap = nullptr;
    vector_slot(p, vec, cap);
    delete[] * vec;
    *vec = nullptr;
    *cap = 0;
  }
}

int ImageWnd::disconn_client()
{
  watch_control(0);
  accept_rest.stop();
  if (close_data() < 0)
    return -1;
  if (ctl_sock) {
    if (close(ctl_sock) < 0) {
      error_dialog("Cannot close control socket.");
      return -1;
    }
    ctl_sock = 0;
  }
  free_vectors();
  return 0;
}

// The free-store handler uninstalls itself when memory runs out; each
// event puts it back, whatever allocation it was that failed.
void ip_accept_imagewnd(XtPointer, int*, XtInputId*)
{
  if (imagewnd && !imagewnd->connected)
    imagewnd->conn_client();
  rearm_out_of_mem();
}

void ip_dispatch_imagewnd(XtPointer, int*, XtInputId*)
{
  if (imagewnd)
    imagewnd->dispatch();
  rearm_out_of_mem();
}

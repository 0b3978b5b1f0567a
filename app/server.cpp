// The server side of the image window: the control (listening) socket, the
// data socket of the one client served at a time, and their input sources.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "WContext.h"
#include "WEtc.h"
#include "allowlist.h"
#include "image.h"
#include "imagewnd.h"
#include "listenaddr.h"
#include "savepicture.h"
#include "service.h"

namespace {

bool is_wildcard(const ListenAt& sa)
{
  const sockaddr_in6* a = reinterpret_cast<const sockaddr_in6*>(&sa.addr);
  return IN6_IS_ADDR_UNSPECIFIED(&a->sin6_addr);
}

// Where the system has no IPv6, "any" is every IPv4 interface.
ListenAt ipv4_wildcard()
{
  ListenAt sa;
  memset(&sa, 0, sizeof sa);
  sockaddr_in* a = reinterpret_cast<sockaddr_in*>(&sa.addr);
  a->sin_family = AF_INET;
  a->sin_addr.s_addr = htonl(INADDR_ANY);
  sa.len = sizeof *a;
  return sa;
}

void set_port(ListenAt& sa, int p)
{
  unsigned short n = htons(static_cast<unsigned short>(p));
  if (sa.addr.ss_family == AF_INET6)
    reinterpret_cast<sockaddr_in6*>(&sa.addr)->sin6_port = n;
  else
    reinterpret_cast<sockaddr_in*>(&sa.addr)->sin_port = n;
}

// The port the socket really listens on (p when the system cannot say).
int bound_port(int s, int p)
{
  sockaddr_storage ss;
  socklen_t len = sizeof ss;
  if (getsockname(s, reinterpret_cast<sockaddr*>(&ss), &len) < 0)
    return p;
  if (ss.ss_family == AF_INET6)
    return ntohs(reinterpret_cast<sockaddr_in6*>(&ss)->sin6_port);
  return ntohs(reinterpret_cast<sockaddr_in*>(&ss)->sin_port);
}

}  // namespace

// The server listens on at, the address the user chose, or without one on
// the address the host's own name resolves to, not on every interface.
// Start-up ends when it cannot: the message is left in buf.
int ImageWnd::start_server(int p, const ListenAt* at)
{
  ListenAt own;
  if (!at) {
    char host[512];
    if (gethostname(host, sizeof host) < 0)
      host[0] = '\0';
    host[sizeof host - 1] = '\0';
    if (resolve_address(host, own) < 0) {
      snprintf(buf, sizeof buf, "Cannot get host entry for %.480s.", host);
      return -1;
    }
    at = &own;
  }
  ListenAt sa = *at;
  int s = socket(sa.addr.ss_family, SOCK_STREAM, 0);
  if (s < 0 && sa.addr.ss_family == AF_INET6 && is_wildcard(sa)) {
    sa = ipv4_wildcard();
    s = socket(AF_INET, SOCK_STREAM, 0);
  }
  if (s < 0) {
    snprintf(buf, sizeof buf, "Cannot create control socket.");
    return -1;
  }
  ctl_sock = s;
  watch_control(1);
  set_port(sa, p);
  if (bind_control(sa) < 0)
    return fail_start("Cannot bind control socket.");
  // Clients that come while another is served wait in the queue, in the
  // order they came, instead of being turned away and retrying.
  if (listen(ctl_sock, SOMAXCONN) < 0)
    return fail_start("Cannot listen on control socket.");
  port = bound_port(ctl_sock, p);
  listening = 1;
  show_status();
  return 0;
}

// A restart right after a quit must not wait for the last connection's
// TIME_WAIT to end; the wildcard takes IPv4 clients too where it can.
int ImageWnd::bind_control(const ListenAt& sa)
{
  int on = 1;
  setsockopt(ctl_sock, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  if (sa.addr.ss_family == AF_INET6 && is_wildcard(sa)) {
    int off = 0;
    setsockopt(ctl_sock, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off);
  }
  return bind(ctl_sock, reinterpret_cast<const sockaddr*>(&sa.addr), sa.len);
}

// A socket that is neither bound nor listening must not wake the loop.
int ImageWnd::fail_start(const char* msg)
{
  snprintf(buf, sizeof buf, "%s", msg);
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
  sockaddr_storage ss;
  socklen_t len = sizeof ss;
  sockaddr* from = reinterpret_cast<sockaddr*>(&ss);
  int s = accept(ctl_sock, from, &len);
  if (s < 0) {
    rest_control();
    return -1;
  }
  if (!allow_from.allows(from))
    return refuse(s, from);
  no_blocking(s);
  decoder.reset();
  data_sock = s;
  connected = 1;
  data_input =
      XtAppAddInput(context->xtctx, data_sock, reinterpret_cast<XtPointer>(XtInputReadMask),
                    ip_dispatch_imagewnd, nullptr);
  watch_control(0);
  // As the refusal line writes it: an IPv4 client of the dual-stack
  // socket dotted, not as ::ffff:a.b.c.d.
  peer_text(from, peer, sizeof peer);
  show_status();
  return 0;
}

// A stranger gets no byte read and no window on the user's screen, only
// a line for the user to see.
int ImageWnd::refuse(int s, const sockaddr* peer)
{
  close(s);
  char who[64];
  peer_text(peer, who, sizeof who);
  fprintf(stderr, "%s: refused connection from %s\n", appname, who);
  return -1;
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

// The last frame's vectors stay: it is still shown, may be zoomed, panned
// and saved.
void ImageWnd::end_client()
{
  close_data();
  saver->frame_lost();
  if (!shown.nplanes)
    free_vectors();
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
  shown.nplanes = 0;
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

// The server's clients: the one served on the data socket, and the accept
// of the next one from the control socket's queue.
#include "net/server.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "WContext.h"
#include "base/service.h"
#include "net/allowlist.h"

Server::Server(RequestSink* sink, ServerWatcher* w)
    : listening(0),
      connected(0),
      port(0),
      ctl_sock(0),
      data_sock(0),
      data_input(0),
      accept_input(0),
      decoder(sink),
      peer(),
      watcher(w)
{
  accept_rest.set_tp_alarm(tp_accept_imagewnd, this);
  stall.set_tp_alarm(tp_stall_imagewnd, this);
}

Server::~Server()
{
  disconn_client();
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

// A failed accept leaves the server waiting for the next client. A client
// that gave up in the queue is gone, but one that could not be taken (no
// descriptor free) keeps the socket readable: the control socket rests for
// a moment instead of waking the loop on every pass, and nothing is drawn.
int Server::conn_client()
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
                    ip_dispatch_imagewnd, this);
  watch_control(0);
  // As the refusal line writes it: an IPv4 client of the dual-stack
  // socket dotted, not as ::ffff:a.b.c.d.
  peer_text(from, peer, sizeof peer);
  watcher->server_changed();
  return 0;
}

// A stranger gets no byte read and no window on the user's screen, only
// a line for the user to see.
int Server::refuse(int s, const sockaddr* from)
{
  close(s);
  char who[64];
  peer_text(from, who, sizeof who);
  fprintf(stderr, "%s: refused connection from %s\n", appname, who);
  return -1;
}

void Server::rest_control()
{
  watch_control(0);
  if (!accept_rest.is_pending())
    accept_rest.start_in(ACCEPT_REST_MS);
}

void Server::end_rest()
{
  if (!connected)
    watch_control(1);
}

void Server::drop_client(const char* msg)
{
  if (msg)
    error_dialog(msg);
  end_client();
}

void Server::end_client()
{
  recorder.drop_request();
  close_data();
  connected = 0;
  watch_control(1);
  watcher->client_left();
}

// A peer that has already reset the connection leaves nothing to shut
// down; that is no failure of ours.
int Server::close_data()
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

int Server::disconn_client()
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
  return 0;
}

int Server::server_lines(char lines[][SERVER_LINE]) const
{
  int n = 0;
  if (connected) {
    snprintf(lines[n++], SERVER_LINE, "Client connected");
  } else {
    snprintf(lines[n++], SERVER_LINE, "Waiting for");
    snprintf(lines[n++], SERVER_LINE, "client connection");
  }
  snprintf(lines[n++], SERVER_LINE, "on port %d.", port);
  return n;
}

// The free-store handler uninstalls itself when memory runs out; each
// event puts it back, whatever allocation it was that failed.
void ip_accept_imagewnd(XtPointer usr, int*, XtInputId*)
{
  Server* s = static_cast<Server*>(usr);
  if (!s->connected)
    s->conn_client();
  rearm_out_of_mem();
}

void ip_dispatch_imagewnd(XtPointer usr, int*, XtInputId*)
{
  static_cast<Server*>(usr)->dispatch();
  rearm_out_of_mem();
}

void tp_accept_imagewnd(XtPointer usr, XtIntervalId*)
{
  static_cast<Server*>(usr)->end_rest();
}

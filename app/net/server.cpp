// The server's clients: those waiting in the queue, taken from either
// listening socket as they come, and the one served on the data socket.
#include "net/server.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "WContext.h"
#include "base/service.h"
#include "net/allowlist.h"
#include "net/localsock.h"

Server::Server(RequestSink* sink, ServerWatcher* w)
    : listening(0),
      connected(0),
      port(0),
      ctl_sock(0),
      local_sock(0),
      data_sock(0),
      data_input(0),
      accept_input(0),
      local_input(0),
      decoder(sink),
      peer(),
      local_path(),
      watcher(w),
      queue(),
      queued(0)
{
  accept_rest.set_tp_alarm(tp_accept_imagewnd, this);
  stall.set_tp_alarm(tp_stall_imagewnd, this);
  key_wait.set_tp_alarm(tp_key_imagewnd, this);
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

// How long the control sockets rest after an accept that failed.
const int ACCEPT_REST_MS = 200;

}  // namespace

// Clients are taken as they come, from either socket, so that they are
// served in the order they came whichever socket they chose; a full queue
// leaves the next ones in the sockets' own. A failed accept leaves the
// server as it was: a client that gave up in the queue is gone, but one
// that could not be taken (no descriptor free) keeps the socket readable,
// so the sockets rest for a moment instead of waking the loop on every
// pass. A stranger gets no byte read and no window on the user's screen,
// only a line for the user to see.
int Server::take_client(int listener)
{
  if (!listening || queued == QUEUE_MAX)
    return -1;
  sockaddr_storage ss;
  socklen_t len = sizeof ss;
  sockaddr* from = reinterpret_cast<sockaddr*>(&ss);
  int s = accept(listener, from, &len);
  if (s < 0) {
    rest_control();
    return -1;
  }
  Waiting& w = queue[queued];
  const bool local = listener == local_sock;
  if (local)
    snprintf(w.peer, sizeof w.peer, "unix:%s", local_path);
  else
    // As the status line writes it: an IPv4 client of the dual-stack
    // socket dotted, not as ::ffff:a.b.c.d.
    peer_text(from, w.peer, sizeof w.peer);
  if (local ? !is_own_user(s) : !allow_from.allows(from)) {
    close(s);
    fprintf(stderr, "%s: refused connection from %s\n", appname, w.peer);
    return -1;
  }
  w.sock = s;
  if (++queued == QUEUE_MAX)
    watch_control(0);
  serve_next();
  return 0;
}

// With a key, the client is served once it has shown it, within
// KEY_SECONDS; before, it is not named as connected.
void Server::serve_next()
{
  if (data_sock || !queued)
    return;
  data_sock = queue[0].sock;
  snprintf(peer, sizeof peer, "%s", queue[0].peer);
  for (int i = 1; i < queued; i++)
    queue[i - 1] = queue[i];
  queued--;
  watch_control(1);
  no_blocking(data_sock);
  decoder.reset();
  gate.reset();
  data_input =
      XtAppAddInput(context->xtctx, data_sock, reinterpret_cast<XtPointer>(XtInputReadMask),
                    ip_dispatch_imagewnd, this);
  if (gate.is_open())
    admitted();
  else
    key_wait.start_in(KEY_SECONDS * 1000);
}

void Server::admitted()
{
  key_wait.stop();
  connected = 1;
  watcher->server_changed();
}

void Server::refuse_key()
{
  fprintf(stderr, "%s: refused connection from %s (no key)\n", appname, peer);
  end_client();
}

void Server::give_up_key()
{
  if (data_sock && !gate.is_open())
    refuse_key();
}

void Server::rest_control()
{
  watch_control(0);
  if (!accept_rest.is_pending())
    accept_rest.start_in(ACCEPT_REST_MS);
}

void Server::end_rest()
{
  watch_control(1);
}

void Server::drop_client(const char* msg)
{
  if (msg)
    error_dialog(msg);
  end_client();
}

// A client refused for its key was never named as served: the window
// still shows the server waiting.
void Server::end_client()
{
  recorder.drop_request();
  close_data();
  connected = 0;
  watcher->client_left();
  serve_next();
}

// A peer that has already reset the connection leaves nothing to shut
// down; that is no failure of ours.
int Server::close_data()
{
  stall.stop();
  key_wait.stop();
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
  for (; queued > 0; queued--)
    close(queue[queued - 1].sock);
  if (close_data() < 0)
    return -1;
  close_local();
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
void ip_accept_imagewnd(XtPointer usr, int* src, XtInputId*)
{
  static_cast<Server*>(usr)->take_client(*src);
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

void tp_key_imagewnd(XtPointer usr, XtIntervalId*)
{
  static_cast<Server*>(usr)->give_up_key();
}

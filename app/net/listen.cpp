// The server's control socket: the address it listens on, and its input
// source.
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
#include "base/service.h"
#include "net/localsock.h"
#include "net/server.h"

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

// The message names the port and the system's reason, which tell a taken
// port from an address on no interface.
const char* with_reason(const char* msg, int p)
{
  snprintf(buf, sizeof buf, "%s Port %d: %s.", msg, p, strerror(errno));
  return buf;
}

}  // namespace

// The server listens on at, the address the user chose, or without one on
// the address the host's own name resolves to, not on every interface.
// Start-up ends when it cannot: the message is left in buf.
int Server::start_server(int p, const ListenAt* at, const char* local)
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
    snprintf(buf, sizeof buf, "Cannot create control socket. %s.", strerror(errno));
    return -1;
  }
  ctl_sock = s;
  watch_control(1);
  set_port(sa, p);
  if (bind_control(sa) < 0)
    return fail_start(with_reason("Cannot bind control socket.", p));
  // Clients that come while another is served wait in the queue, in the
  // order they came, instead of being turned away and retrying.
  if (listen(ctl_sock, SOMAXCONN) < 0)
    return fail_start(with_reason("Cannot listen on control socket.", p));
  port = bound_port(ctl_sock, p);
  if (local && local[0] && start_local(local) < 0)
    return fail_start(buf);
  listening = 1;
  watcher->server_changed();
  return 0;
}

// A restart right after a quit must not wait for the last connection's
// TIME_WAIT to end; the wildcard takes IPv4 clients too where it can.
int Server::bind_control(const ListenAt& sa)
{
  int on = 1;
  setsockopt(ctl_sock, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  if (sa.addr.ss_family == AF_INET6 && is_wildcard(sa)) {
    int off = 0;
    setsockopt(ctl_sock, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off);
  }
  return bind(ctl_sock, reinterpret_cast<const sockaddr*>(&sa.addr), sa.len);
}

int Server::start_local(const char* path)
{
  int s = listen_local(path, buf, sizeof buf);
  if (s < 0)
    return -1;
  local_sock = s;
  snprintf(local_path, sizeof local_path, "%s", path);
  watch_control(1);
  return 0;
}

// The path goes with the socket: a client that finds it finds a ravlon.
void Server::close_local()
{
  if (!local_sock)
    return;
  unlink(local_path);
  close(local_sock);
  local_sock = 0;
  local_path[0] = '\0';
}

// A socket that is neither bound nor listening must not wake the loop.
int Server::fail_start(const char* msg)
{
  if (msg != buf)
    snprintf(buf, sizeof buf, "%s", msg);
  watch_control(0);
  close(ctl_sock);
  ctl_sock = 0;
  return -1;
}

namespace {

void watch_socket(int s, XtInputId& id, bool on, XtPointer server)
{
  if (on && !id && s) {
    id = XtAppAddInput(context->xtctx, s, reinterpret_cast<XtPointer>(XtInputReadMask),
                       ip_accept_imagewnd, server);
  } else if (!on && id) {
    XtRemoveInput(id);
    id = 0;
  }
}

}  // namespace

// While the queue is full, or the sockets rest, the listening sources are
// suspended: the next clients wait in the sockets' own queues without
// waking the loop.
void Server::watch_control(char on)
{
  const bool watch = on && queued < QUEUE_MAX && !accept_rest.is_pending();
  watch_socket(ctl_sock, accept_input, watch, this);
  watch_socket(local_sock, local_input, watch, this);
}

// The client's stream: its bytes are read as they arrive into the
// decoder's field in progress, a bounded amount at a time, and a request
// that stops moving is given up.
#include <time.h>
#include <unistd.h>

#include <cerrno>

#include "net/protocol.h"
#include "net/server.h"

namespace {

// What one readable event may do at most: the loop then handles X events,
// timers and signals before the next, even while a client streams without
// pause. A request can cost far more than its bytes (an empty frame is a
// whole redraw, a resize several round trips), so time bounds the work as
// well as bytes; every request is still carried out, in turn.
const int READ_BUDGET = 4 * 1024 * 1024;
const long WORK_NS = 5 * 1000 * 1000;

long now_ns()
{
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000000000L + t.tv_nsec;
}

}  // namespace

// A client that closes between two requests has simply left; one that
// stops inside a request leaves a stream that cannot be trusted.
int Server::dispatch()
{
  if (!data_sock || read_key() < 0 || !connected)
    return -1;
  int budget = READ_BUDGET;
  const long until = now_ns() + WORK_NS;
  while (connected && budget > 0 && now_ns() < until) {
    unsigned char* dst = nullptr;
    int room = decoder.next(dst);
    const bool first = decoder.idle();
    ssize_t r = read(data_sock, dst, static_cast<size_t>(room < budget ? room : budget));
    if (r > 0) {
      budget -= static_cast<int>(r);
      take(dst, static_cast<int>(r), first);
    } else if (r < 0 && errno == EINTR) {
      continue;
    } else if (r < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      break;
    } else {
      drop_client(r == 0 && decoder.idle() ? nullptr : decoder.cut_message());
      return -1;
    }
  }
  if (!connected)
    return -1;
  watch_stall(budget < READ_BUDGET);
  return 0;
}

// The key request is read as far as it has come, and not a byte past it;
// a client that ends before it is whole has shown no key either. -1 once
// the client is refused; 0 while its key is still due, or once it is in.
int Server::read_key()
{
  while (!gate.is_open()) {
    unsigned char* dst = nullptr;
    const int room = gate.next(dst);
    ssize_t r = room > 0 ? read(data_sock, dst, static_cast<size_t>(room)) : 0;
    if (r < 0 && errno == EINTR)
      continue;
    if (r < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
      return 0;
    if (r > 0)
      gate.arrived(static_cast<int>(r));
    if (r <= 0 || gate.is_shut()) {
      refuse_key();
      return -1;
    }
    if (gate.is_open())
      admitted();
  }
  return 0;
}

// A read never goes past the field in progress, so a request begins with
// the first bytes read while the decoder is idle and has ended when it is
// idle again. The bytes are recorded before the request is carried out:
// a disconnect ends the process there.
void Server::take(const unsigned char* p, int n, bool first)
{
  recorder.take(p, n, first);
  decoder.arrived(n);
  if (decoder.idle())
    recorder.request_done();
}

// A request in progress must move within STALL_SECONDS; between requests
// a client may wait as long as it likes.
void Server::watch_stall(bool progress)
{
  if (decoder.idle())
    stall.stop();
  else if (progress || !stall.is_pending())
    stall.start_in(STALL_SECONDS * 1000);
}

void Server::give_up_stalled()
{
  if (connected && !decoder.idle())
    drop_client(decoder.cut_message());
}

bool Server::request_in_progress() const
{
  return connected && !decoder.idle();
}

void tp_stall_imagewnd(XtPointer usr, XtIntervalId*)
{
  static_cast<Server*>(usr)->give_up_stalled();
}

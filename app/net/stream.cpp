// The client's stream: its bytes are read as they arrive into the
// decoder's field in progress, a bounded amount at a time, and a request
// that stops moving is given up.
#include <unistd.h>

#include <cerrno>

#include "net/protocol.h"
#include "net/server.h"

namespace {

// Bytes read per readable event at most: the loop then handles X events
// before the next chunk, even while a fast client streams without pause.
const int READ_BUDGET = 4 * 1024 * 1024;

}  // namespace

// A client that closes between two requests has simply left; one that
// stops inside a request leaves a stream that cannot be trusted.
int Server::dispatch()
{
  if (!connected)
    return -1;
  int budget = READ_BUDGET;
  while (connected && budget > 0) {
    unsigned char* dst = nullptr;
    int room = decoder.next(dst);
    ssize_t r = read(data_sock, dst, static_cast<size_t>(room < budget ? room : budget));
    if (r > 0) {
      budget -= static_cast<int>(r);
      decoder.arrived(static_cast<int>(r));
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

// The client side of ravlon's wire protocol.
#include "ravlon_client.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "../app/protocol.h"

RavlonClient::RavlonClient() : sock(-1) {}

RavlonClient::~RavlonClient()
{
  close();
}

int RavlonClient::connect(const char* host, int port)
{
  close();
  hostent* he = gethostbyname(host);
  if (!he || he->h_addrtype != AF_INET || !he->h_addr_list[0]) {
    errno = EHOSTUNREACH;
    return -1;
  }
  sockaddr_in sa;
  memset(&sa, 0, sizeof sa);
  sa.sin_family = AF_INET;
  sa.sin_port = htons(static_cast<unsigned short>(port));
  memcpy(&sa.sin_addr, he->h_addr_list[0], sizeof sa.sin_addr);
  sock = socket(AF_INET, SOCK_STREAM, 0);
  if (sock < 0)
    return -1;
  if (::connect(sock, reinterpret_cast<sockaddr*>(&sa), sizeof sa) < 0) {
    int e = errno;
    close();
    errno = e;
    return -1;
  }
  return 0;
}

namespace {

// What the server would refuse is not sent at all.
int refuse()
{
  errno = EINVAL;
  return -1;
}

}  // namespace

int RavlonClient::resize(int width, int height)
{
  if (!valid_image_size(width, height))
    return refuse();
  if (put_int(REQ_RESIZE) < 0 || put_int(width) < 0)
    return -1;
  return put_int(height);
}

int RavlonClient::send_rgb(const unsigned char* r, const unsigned char* g, const unsigned char* b,
                           int size)
{
  if (!valid_frame_size(size))
    return refuse();
  if (put_int(REQ_COLRGB) < 0 || put_int(size) < 0)
    return -1;
  if (put_bytes(r, size) < 0 || put_bytes(g, size) < 0)
    return -1;
  return put_bytes(b, size);
}

int RavlonClient::send_colmap(const unsigned char* cvec, int size)
{
  if (!valid_frame_size(size))
    return refuse();
  if (put_int(REQ_COLMAP) < 0 || put_int(size) < 0)
    return -1;
  return put_bytes(cvec, size);
}

int RavlonClient::disconnect()
{
  int r = put_int(REQ_DISCONNECT);
  close();
  return r;
}

void RavlonClient::close()
{
  if (sock >= 0)
    ::close(sock);
  sock = -1;
}

int RavlonClient::put_int(int v)
{
  unsigned int u = static_cast<unsigned int>(v);
  unsigned char b[4] = {static_cast<unsigned char>(u >> 24), static_cast<unsigned char>(u >> 16),
                        static_cast<unsigned char>(u >> 8), static_cast<unsigned char>(u)};
  return put_bytes(b, 4);
}

// MSG_NOSIGNAL: a server that has gone away is a failed send, not a
// SIGPIPE that kills the client.
int RavlonClient::put_bytes(const void* p, int n)
{
  if (sock < 0) {
    errno = ENOTCONN;
    return -1;
  }
  const char* c = static_cast<const char*>(p);
  while (n > 0) {
    ssize_t w = send(sock, c, static_cast<size_t>(n), MSG_NOSIGNAL);
    if (w < 0 && errno == EINTR)
      continue;
    if (w < 0)
      return -1;
    c += w;
    n -= static_cast<int>(w);
  }
  return 0;
}

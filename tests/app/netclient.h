// A client of either address family for tests that reach ravlon over IPv6
// or from a chosen source address: a plain socket and request bytes sent
// by hand (wirebytes.h).
#ifndef NETCLIENT_H
#define NETCLIENT_H

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "wirebytes.h"

// A socket address for a literal address (or name) and port; false when
// it does not resolve.
inline bool socket_address(const std::string& host, int port, sockaddr_storage& sa, socklen_t& len)
{
  addrinfo hints;
  memset(&hints, 0, sizeof hints);
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* ai = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &ai) != 0)
    return false;
  memcpy(&sa, ai->ai_addr, ai->ai_addrlen);
  len = ai->ai_addrlen;
  freeaddrinfo(ai);
  return true;
}

// A TCP connection to host:port, bound first to the source address from
// when one is given; -1 on failure, also when the server's queue has not
// taken it within 10 s.
inline int dial(const std::string& host, int port, const std::string& from = "")
{
  sockaddr_storage to, src;
  socklen_t to_len = 0, src_len = 0;
  if (!socket_address(host, port, to, to_len) ||
      (!from.empty() && !socket_address(from, 0, src, src_len)))
    return -1;
  int s = socket(to.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (s < 0)
    return -1;
  timeval wait = {10, 0}, forever = {0, 0};
  setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
  if ((!from.empty() && bind(s, reinterpret_cast<sockaddr*>(&src), src_len) < 0) ||
      connect(s, reinterpret_cast<sockaddr*>(&to), to_len) < 0) {
    close(s);
    return -1;
  }
  setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, &forever, sizeof forever);
  return s;
}

// A connection to the local socket at path; -1 on failure.
inline int dial_local(const std::string& path)
{
  sockaddr_un sa;
  memset(&sa, 0, sizeof sa);
  sa.sun_family = AF_UNIX;
  snprintf(sa.sun_path, sizeof sa.sun_path, "%s", path.c_str());
  int s = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (s >= 0 && connect(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa) < 0) {
    close(s);
    s = -1;
  }
  return s;
}

inline bool send_bytes(int s, const Bytes& b)
{
  size_t done = 0;
  while (done < b.size()) {
    ssize_t n = send(s, b.data() + done, b.size() - done, MSG_NOSIGNAL);
    if (n <= 0)
      return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// The stream is closed: the peer sees its end or a reset.
inline bool closed_by_peer(int s)
{
  pollfd pf = {s, POLLIN, 0};
  char b;
  return poll(&pf, 1, 5000) == 1 && recv(s, &b, 1, 0) <= 0;
}

// An RGB frame whose first size pixels (column by column) are 0xRRGGBB.
inline Bytes rgb_frame(uint32_t rgb, int size)
{
  Bytes b = ints({3, size});
  for (int shift : {16, 8, 0})
    b.insert(b.end(), static_cast<size_t>(size), static_cast<unsigned char>(rgb >> shift));
  return b;
}

#endif

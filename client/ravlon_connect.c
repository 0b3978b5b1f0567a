/* How the C client reaches ravlon (ravlon.h): the address forms, the
 * local socket, TCP, and the key file. */
#define _POSIX_C_SOURCE 200809L

#include "ravlon.h"
#include "ravlon_conn.h"

#include <errno.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

/* What errno best says of a getaddrinfo failure. */
static int resolve_errno(int eai)
{
  switch (eai) {
  case EAI_SYSTEM:
    return errno;
  case EAI_MEMORY:
    return ENOMEM;
  case EAI_AGAIN:
    return EAGAIN;
  case EAI_BADFLAGS:
  case EAI_FAMILY:
  case EAI_SERVICE:
  case EAI_SOCKTYPE:
    return EINVAL;
  default:
    return EHOSTUNREACH;
  }
}

/* A connect interrupted by a signal goes on by itself: wait for its end. */
static int finish_connect(int fd)
{
  struct pollfd p = {fd, POLLOUT, 0};
  int err = 0;
  socklen_t len = sizeof err;
  while (poll(&p, 1, -1) < 0)
    if (errno != EINTR)
      return -1;
  if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) < 0)
    return -1;
  errno = err;
  return err ? -1 : 0;
}

/* fd connected to sa, or -1 with errno and fd closed. */
static int connect_socket(int fd, const struct sockaddr *sa, socklen_t len)
{
  int e;
  if (connect(fd, sa, len) == 0 || (errno == EINTR && finish_connect(fd) == 0))
    return fd;
  e = errno;
  close(fd);
  errno = e;
  return -1;
}

/* A connected socket to one address, or -1 with errno. Close-on-exec: a
 * child the program starts must not hold ravlon's connection open. No
 * Nagle delay: each request goes out in one piece anyway. */
static int open_tcp_address(const struct addrinfo *ai)
{
  int on = 1;
  int fd = socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC, ai->ai_protocol);
  if (fd < 0 || connect_socket(fd, ai->ai_addr, ai->ai_addrlen) < 0)
    return -1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return fd;
}

/* Each address host resolves to in turn. */
static int open_tcp(const char *host, int port)
{
  struct addrinfo hints;
  struct addrinfo *list = NULL;
  const struct addrinfo *ai;
  char service[8];
  int fd = -1;
  int r;
  memset(&hints, 0, sizeof hints);
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV;
  snprintf(service, sizeof service, "%d", port);
  r = getaddrinfo(host, service, &hints, &list);
  if (r != 0) {
    int e = resolve_errno(r);
    return ravlon_fail(e, "cannot resolve %s: %s", host,
                       r == EAI_SYSTEM ? strerror(e) : gai_strerror(r));
  }
  errno = EHOSTUNREACH;
  for (ai = list; ai && fd < 0; ai = ai->ai_next)
    fd = open_tcp_address(ai);
  r = errno;
  freeaddrinfo(list);
  if (fd < 0)
    return ravlon_fail(r, "cannot connect to %s port %d: %s", host, port, strerror(r));
  return fd;
}

/* The stream socket at path, or -1 with errno. */
static int open_unix(const char *path)
{
  struct sockaddr_un sa;
  int fd;
  memset(&sa, 0, sizeof sa);
  sa.sun_family = AF_UNIX;
  if (strlen(path) >= sizeof sa.sun_path) {
    errno = ENAMETOOLONG;
    return -1;
  }
  strcpy(sa.sun_path, path);
  fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  return fd < 0 ? -1 : connect_socket(fd, (const struct sockaddr *)&sa, sizeof sa);
}

static int open_unix_or_fail(const char *path)
{
  int fd = open_unix(path);
  if (fd < 0)
    return ravlon_fail(errno, "cannot connect to %s: %s", path, strerror(errno));
  return fd;
}

/* A host that names this one: its local socket is tried first. */
static int is_local(const char *host, const char *self)
{
  return !*host || strcasecmp(host, "localhost") == 0 || strcasecmp(host, self) == 0;
}

static int is_socket(const char *path)
{
  struct stat st;
  return stat(path, &st) == 0 && S_ISSOCK(st.st_mode);
}

/* "unix:PATH" and "tcp:HOST" go where they say ("unix:" to the port's
 * local socket, "tcp:" to this host's name); a host of this one goes
 * through the port's local socket when it answers, and anything else
 * over TCP. */
static int open_address(const char *address, int port)
{
  char self[256] = "";
  char path[sizeof RAVLON_UNIX_DIR + 8];
  int fd;
  if (strncmp(address, "unix:", 5) == 0 && address[5])
    return open_unix_or_fail(address + 5);
  if (port < 1 || port > 65535)
    return ravlon_fail(EINVAL, "cannot connect to %s: port %d is not from 1 to 65535", address,
                       port);
  snprintf(path, sizeof path, "%s/%d", RAVLON_UNIX_DIR, port);
  if (strcmp(address, "unix:") == 0)
    return open_unix_or_fail(path);
  gethostname(self, sizeof self - 1);
  if (strncmp(address, "tcp:", 4) == 0)
    return open_tcp(address[4] ? address + 4 : self, port);
  if (is_local(address, self) && is_socket(path) && (fd = open_unix(path)) >= 0)
    return fd;
  return open_tcp(*address ? address : self, port);
}

/* The key: the first RAVLON_KEY_BYTES bytes of the file at path. */
static int read_key(const char *path, unsigned char key[RAVLON_KEY_BYTES])
{
  size_t got = 0;
  ssize_t n = 1;
  int e;
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return ravlon_fail(errno, "cannot read the key file %s: %s", path, strerror(errno));
  while (got < RAVLON_KEY_BYTES && n != 0) {
    n = read(fd, key + got, RAVLON_KEY_BYTES - got);
    if (n > 0)
      got += (size_t)n;
    else if (n < 0 && errno != EINTR)
      break;
  }
  e = errno;
  close(fd);
  if (n < 0)
    return ravlon_fail(e, "cannot read the key file %s: %s", path, strerror(e));
  if (got < RAVLON_KEY_BYTES)
    return ravlon_fail(EINVAL, "the key file %s holds %zu bytes, fewer than a key's %d", path, got,
                       RAVLON_KEY_BYTES);
  return 0;
}

ravlon *ravlon_connect_keyfile(const char *host, int port, const char *keyfile)
{
  unsigned char key[RAVLON_KEY_BYTES];
  int fd;
  if (keyfile && read_key(keyfile, key) < 0)
    return NULL;
  fd = open_address(host ? host : "", port);
  return fd < 0 ? NULL : ravlon_adopt(fd, keyfile ? key : NULL);
}

ravlon *ravlon_connect(const char *host, int port)
{
  const char *keyfile = getenv("RAVLON_KEYFILE");
  return ravlon_connect_keyfile(host, port, keyfile && *keyfile ? keyfile : NULL);
}

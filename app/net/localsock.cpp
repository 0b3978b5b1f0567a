// The local socket: its path, its directory, the stale rule and the
// peer's credentials.
#include "net/localsock.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/resources.h"
#include "net/protocol.h"

void local_socket_path(Widget appshell, int port, char* out, size_t len)
{
  const char* value = string_resource(appshell, "unixSocket", "UnixSocket");
  if (!value)
    snprintf(out, len, "%s/%d", RAVLON_UNIX_DIR, port);
  else
    snprintf(out, len, "%s", strcmp(value, "none") == 0 ? "" : value);
}

namespace {

// As X makes /tmp/.X11-unix: every user may make a socket there, none may
// remove another's; root makes sure it owns the directory, as X does.
void make_unix_dir()
{
  if (mkdir(RAVLON_UNIX_DIR, 01777) == 0 || errno == EEXIST) {
    struct stat st;
    if (lstat(RAVLON_UNIX_DIR, &st) == 0 && S_ISDIR(st.st_mode) &&
        (st.st_uid == geteuid() || geteuid() == 0)) {
      if (geteuid() == 0 && st.st_uid != 0 && chown(RAVLON_UNIX_DIR, 0, 0) < 0)
        return;
      chmod(RAVLON_UNIX_DIR, 01777);  // the umask took the sticky bit's friends
    }
  }
}

bool in_unix_dir(const char* path)
{
  const size_t n = strlen(RAVLON_UNIX_DIR);
  return strncmp(path, RAVLON_UNIX_DIR, n) == 0 && path[n] == '/';
}

// A socket at path that nobody answers is what a ravlon that died left
// behind; one that answers belongs to a ravlon that runs. 1 when a ravlon
// answers, 0 when the path is free now.
int clear_stale(const sockaddr_un& sa)
{
  struct stat st;
  if (lstat(sa.sun_path, &st) < 0 || !S_ISSOCK(st.st_mode))
    return 0;  // nothing there, or no socket: bind says what is wrong
  int probe = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (probe < 0)
    return 0;
  const int r = connect(probe, reinterpret_cast<const sockaddr*>(&sa), sizeof sa);
  const int e = errno;
  close(probe);
  if (r == 0)
    return 1;
  if (e == ECONNREFUSED)
    unlink(sa.sun_path);
  return 0;
}

}  // namespace

int listen_local(const char* path, char* msg, size_t len)
{
  sockaddr_un sa;
  memset(&sa, 0, sizeof sa);
  sa.sun_family = AF_UNIX;
  if (strlen(path) >= sizeof sa.sun_path) {
    snprintf(msg, len, "Cannot bind local socket %.400s: the path is too long.", path);
    return -1;
  }
  strcpy(sa.sun_path, path);
  if (in_unix_dir(path))
    make_unix_dir();
  if (clear_stale(sa)) {
    snprintf(msg, len, "Cannot bind local socket %s: another ravlon listens there.", path);
    return -1;
  }
  int s = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (s < 0 || bind(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa) < 0) {
    snprintf(msg, len, "Cannot bind local socket %s.", path);
    if (s >= 0)
      close(s);
    return -1;
  }
  // As X's own sockets: anyone may knock, the peer's credentials decide.
  chmod(path, 0777);
  if (listen(s, SOMAXCONN) < 0) {
    snprintf(msg, len, "Cannot listen on local socket %s.", path);
    close(s);
    unlink(path);
    return -1;
  }
  return s;
}

bool is_own_user(int s)
{
  ucred cred;
  socklen_t n = sizeof cred;
  if (getsockopt(s, SOL_SOCKET, SO_PEERCRED, &cred, &n) < 0 || n != sizeof cred)
    return false;
  return cred.uid == geteuid() || cred.uid == 0;
}

// The local socket: a Unix stream socket beside the TCP port for clients
// on this host, at the path the X resource ravlon.unixSocket (class
// Ravlon.UnixSocket) names, RAVLON_UNIX_DIR/PORT when unset, or none.
#ifndef LOCALSOCK_H
#define LOCALSOCK_H

#include <cstddef>

#include <X11/Intrinsic.h>

// The local socket's path for port, from the resource's value for the
// application shell; "" when the value is none.
void local_socket_path(Widget appshell, int port, char* out, size_t len);

// A socket listening at path: the directory RAVLON_UNIX_DIR made when the
// path is in it, a socket left by a ravlon that died replaced. -1 with the
// message in msg when path is too long, cannot be bound, or a running
// ravlon listens there.
int listen_local(const char* path, char* msg, size_t len);

// The peer of the connected socket s runs as this process's user, or as
// root.
bool is_own_user(int s);

#endif

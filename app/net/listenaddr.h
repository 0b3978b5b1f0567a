// Where the server listens, as the user chooses it without touching the
// command line: the X resource ravlon.listenAddress (class
// Ravlon.ListenAddress).
#ifndef LISTENADDR_H
#define LISTENADDR_H

#include <sys/socket.h>

#include <X11/Intrinsic.h>

// A socket address of either family, its port left to the server.
struct ListenAt {
  sockaddr_storage addr;
  socklen_t len;
};

// The resource's value for the application shell, or nullptr when it is
// unset or empty (the server then listens where it always has).
const char* listen_address(Widget appshell);

// "any" is every interface of both families (the IPv6 wildcard, which
// takes IPv4 too where the system allows it); any other value is a host
// name or an IPv4 or IPv6 address. -1 when it does not resolve.
int resolve_listen_address(const char* value, ListenAt& at);

// An address of a host name or literal address: its first IPv4 address,
// or its first IPv6 address when it has none. -1 when none.
int resolve_address(const char* host, ListenAt& at);

#endif

// Where the server listens, as the user chooses it without touching the
// command line: the X resource ravlon.listenAddress (class
// Ravlon.ListenAddress), read from the resource database like every other
// resource (app-defaults, xrdb, ~/.Xresources, XENVIRONMENT).
#ifndef LISTENADDR_H
#define LISTENADDR_H

#include <netinet/in.h>

#include <X11/Intrinsic.h>

// The resource's value for the application shell, or nullptr when it is
// unset or empty (the server then listens where it always has).
const char* listen_address(Widget appshell);

// "any" is every interface (INADDR_ANY); any other value is a host name or
// a dotted address, of which the first IPv4 address is taken. -1 when it
// does not resolve.
int resolve_listen_address(const char* value, in_addr& addr);

// The first IPv4 address of a host name or dotted address; -1 when none.
int resolve_address(const char* host, in_addr& addr);

#endif

// Row-major RGB frames from a client on this host to a real ravlon
// process over TCP and over ravlon's local socket, beside the floor of
// each transport: the same bytes through a plain socket of that kind
// between two processes.
#ifndef TRANSPORTS_H
#define TRANSPORTS_H

// Prints the table; 0, or -1 after a message on stderr.
int transport_figures(bool brief);

#endif

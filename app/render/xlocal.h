// Whether the X server of a display shares this machine's memory.
#ifndef XLOCAL_H
#define XLOCAL_H

// A display name without a host (":0") or with the host "unix" ("unix:0")
// is reached through a local socket; any host name, this machine's own,
// "localhost" or "127.0.0.1" included, means TCP and may be another
// machine. A shared-memory segment id names memory on the server's host,
// so only a local display may be given one.
bool local_display(const char* name);

#endif

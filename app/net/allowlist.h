// Who may connect: the X resource ravlon.allowFrom (class
// Ravlon.AllowFrom), a list of addresses and prefixes (127.0.0.1,
// 10.1.0.0/16, ::1, 2001:db8::/32) separated by blanks or commas.
// Unset, everyone may.
#ifndef ALLOWLIST_H
#define ALLOWLIST_H

#include <sys/socket.h>

#include <cstddef>
#include <vector>

#include <X11/Intrinsic.h>

class AllowList {
public:
  // Replaces the list by the entries of text (nullptr: everyone). -1 when
  // an entry is malformed; bad then holds it (cut to its size).
  int parse(const char* text, char* bad, size_t len);
  // A peer of either family; an IPv4 peer reaching an IPv6 socket
  // (::ffff:a.b.c.d) counts as the IPv4 address it is.
  bool allows(const sockaddr* peer) const;

private:
  // IPv4 entries are kept in their IPv6 form, ::ffff:a.b.c.d/96+bits,
  // and match IPv4 peers only: ::/0 is every IPv6 peer, not every peer.
  struct Net {
    unsigned char addr[16];
    int bits;
    bool v4;
  };
  int add(const char* entry);

  bool everyone = true;
  std::vector<Net> nets;
};

// The list in use, from the resource as start-up read it.
extern AllowList allow_from;

// The resource's value for the application shell, or nullptr when unset.
const char* allow_from_resource(Widget appshell);

// The peer's address as the user writes it (IPv4-mapped ones dotted).
void peer_text(const sockaddr* peer, char* out, size_t len);

#endif

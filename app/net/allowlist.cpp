// The allow list: parsing the allowFrom entries and matching peers.
#include "net/allowlist.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/resources.h"

AllowList allow_from;

namespace {

const unsigned char v4_mapped[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff};

// An IPv4 address in its IPv6 form, ::ffff:a.b.c.d.
void map_v4(const in_addr& a, unsigned char out[16])
{
  memcpy(out, v4_mapped, 12);
  memcpy(out + 12, &a, 4);
}

// The peer's address in IPv6 form; false for another family.
bool as_v6(const sockaddr* peer, unsigned char out[16])
{
  if (peer->sa_family == AF_INET) {
    map_v4(reinterpret_cast<const sockaddr_in*>(peer)->sin_addr, out);
    return true;
  }
  if (peer->sa_family == AF_INET6) {
    memcpy(out, &reinterpret_cast<const sockaddr_in6*>(peer)->sin6_addr, 16);
    return true;
  }
  return false;
}

bool is_v4(const unsigned char a[16])
{
  return memcmp(a, v4_mapped, 12) == 0;
}

bool same_prefix(const unsigned char* a, const unsigned char* b, int bits)
{
  int whole = bits / 8;
  if (memcmp(a, b, static_cast<size_t>(whole)) != 0)
    return false;
  int rest = bits % 8;
  if (!rest)
    return true;
  unsigned mask = 0xffu << (8 - rest) & 0xffu;
  return ((a[whole] ^ b[whole]) & mask) == 0;
}

// A prefix length of digits only, at most max; -1 otherwise.
int prefix_bits(const char* s, int max)
{
  if (!*s || strlen(s) > 3)
    return -1;
  for (const char* p = s; *p; p++)
    if (*p < '0' || *p > '9')
      return -1;
  int bits = atoi(s);
  return bits <= max ? bits : -1;
}

}  // namespace

int AllowList::add(const char* entry)
{
  char addr[64];
  const char* slash = strchr(entry, '/');
  size_t n = slash ? static_cast<size_t>(slash - entry) : strlen(entry);
  if (n >= sizeof addr)
    return -1;
  memcpy(addr, entry, n);
  addr[n] = '\0';
  Net net;
  int bits = -1;
  in_addr a4;
  if (inet_pton(AF_INET, addr, &a4) == 1) {
    map_v4(a4, net.addr);
    bits = slash ? prefix_bits(slash + 1, 32) : 32;
    if (bits >= 0)
      bits += 96;
  } else if (inet_pton(AF_INET6, addr, net.addr) == 1) {
    bits = slash ? prefix_bits(slash + 1, 128) : 128;
  }
  if (bits < 0)
    return -1;
  net.bits = bits;
  net.v4 = bits >= 96 && is_v4(net.addr);
  nets.push_back(net);
  return 0;
}

int AllowList::parse(const char* text, char* bad, size_t len)
{
  nets.clear();
  everyone = !text;
  if (!text)
    return 0;
  const char* seps = " \t\n,";
  for (const char* p = text + strspn(text, seps); *p; p += strspn(p, seps)) {
    size_t n = strcspn(p, seps);
    char entry[128];
    snprintf(entry, sizeof entry, "%.*s", static_cast<int>(n), p);
    if (n >= sizeof entry || add(entry) < 0) {
      snprintf(bad, len, "%.*s", static_cast<int>(n), p);
      return -1;
    }
    p += n;
  }
  return 0;
}

bool AllowList::allows(const sockaddr* peer) const
{
  if (everyone)
    return true;
  unsigned char a[16];
  if (!as_v6(peer, a))
    return false;
  for (const Net& net : nets)
    if (net.v4 == is_v4(a) && same_prefix(a, net.addr, net.bits))
      return true;
  return false;
}

const char* allow_from_resource(Widget appshell)
{
  return string_resource(appshell, "allowFrom", "AllowFrom");
}

void peer_text(const sockaddr* peer, char* out, size_t len)
{
  unsigned char a[16];
  if (!as_v6(peer, a)) {
    snprintf(out, len, "an unknown address");
    return;
  }
  if (is_v4(a))
    inet_ntop(AF_INET, a + 12, out, static_cast<socklen_t>(len));
  else
    inet_ntop(AF_INET6, a, out, static_cast<socklen_t>(len));
}

// Where the server listens: the listenAddress resource and its resolution.
#include "net/listenaddr.h"

#include <netdb.h>
#include <netinet/in.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "base/resources.h"

const char* listen_address(Widget appshell)
{
  return string_resource(appshell, "listenAddress", "ListenAddress");
}

// Blanks around the value are no part of it, as in allowFrom.
int resolve_listen_address(const char* value, ListenAt& at)
{
  const char* const blanks = " \t";
  const std::string v(value);
  const size_t from = v.find_first_not_of(blanks);
  const std::string name =
      from == std::string::npos ? "" : v.substr(from, v.find_last_not_of(blanks) - from + 1);
  if (name == "any") {
    sockaddr_in6 any;
    memset(&any, 0, sizeof any);
    any.sin6_family = AF_INET6;
    any.sin6_addr = in6addr_any;
    memset(&at, 0, sizeof at);
    memcpy(&at.addr, &any, sizeof any);
    at.len = sizeof any;
    return 0;
  }
  return resolve_address(name.c_str(), at);
}

// IPv4 first: a name with both kinds of address is reached as it always
// was, by clients of either kind.
int resolve_address(const char* host, ListenAt& at)
{
  addrinfo hints;
  memset(&hints, 0, sizeof hints);
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* list = nullptr;
  if (getaddrinfo(host, nullptr, &hints, &list) != 0)
    return -1;
  const addrinfo* pick = nullptr;
  for (int family : {AF_INET, AF_INET6})
    for (const addrinfo* a = list; a && !pick; a = a->ai_next)
      if (a->ai_family == family && a->ai_addrlen <= sizeof at.addr)
        pick = a;
  if (pick) {
    memset(&at, 0, sizeof at);
    memcpy(&at.addr, pick->ai_addr, pick->ai_addrlen);
    at.len = pick->ai_addrlen;
  }
  freeaddrinfo(list);
  return pick ? 0 : -1;
}

// Where the server listens: the listenAddress resource and its resolution.
#include "listenaddr.h"

#include <netdb.h>

#include <cstring>

#include <X11/StringDefs.h>

namespace {

struct ListenResources {
  String address;
};

XtResource listen_resources[] = {
    {const_cast<char*>("listenAddress"), const_cast<char*>("ListenAddress"), XtRString,
     sizeof(String), XtOffsetOf(ListenResources, address), XtRString, nullptr},
};

}  // namespace

const char* listen_address(Widget appshell)
{
  ListenResources r;
  r.address = nullptr;
  XtGetApplicationResources(appshell, &r, listen_resources, XtNumber(listen_resources), nullptr, 0);
  return r.address && r.address[0] ? r.address : nullptr;
}

int resolve_listen_address(const char* value, in_addr& addr)
{
  if (strcmp(value, "any") == 0) {
    addr.s_addr = htonl(INADDR_ANY);
    return 0;
  }
  return resolve_address(value, addr);
}

int resolve_address(const char* host, in_addr& addr)
{
  hostent* he = gethostbyname(host);
  if (!he || he->h_addrtype != AF_INET || !he->h_addr_list[0])
    return -1;
  memcpy(&addr, he->h_addr_list[0], sizeof addr);
  return 0;
}

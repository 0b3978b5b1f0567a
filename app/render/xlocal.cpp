// Whether the X server of a display shares this machine's memory.
#include "render/xlocal.h"

#include <cstring>

bool local_display(const char* name)
{
  if (!name)
    return false;
  const char* colon = strrchr(name, ':');
  if (!colon)
    return false;
  size_t host = static_cast<size_t>(colon - name);
  return host == 0 || (host == 4 && strncmp(name, "unix", 4) == 0);
}

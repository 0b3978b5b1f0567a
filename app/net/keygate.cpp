// The key gate: the request code first, then the key, compared whole.
#include "net/keygate.h"

#include <cstring>

namespace {

const int CODE_BYTES = 4;

// Every byte is looked at whatever the first difference: the time taken
// tells nothing of how much of a guess was right.
bool same_key(const unsigned char* a, const unsigned char* b)
{
  unsigned char diff = 0;
  for (int i = 0; i < RAVLON_KEY_BYTES; i++)
    diff = static_cast<unsigned char>(diff | (a[i] ^ b[i]));
  return diff == 0;
}

bool is_key_code(const unsigned char* c)
{
  return c[0] == 0 && c[1] == 0 && c[2] == 0 && c[3] == RAVLON_REQ_KEY;
}

}  // namespace

void KeyGate::set_key(const unsigned char k[RAVLON_KEY_BYTES])
{
  memcpy(key, k, sizeof key);
  has_key = true;
}

void KeyGate::reset()
{
  count = 0;
  state = has_key ? WAITING : OPEN;
}

// The code's bytes are asked for apart from the key's: a client that sends
// another request has none of its following bytes read.
int KeyGate::next(unsigned char*& dst)
{
  if (state != WAITING)
    return 0;
  dst = got + count;
  return (count < CODE_BYTES ? CODE_BYTES : static_cast<int>(sizeof got)) - count;
}

void KeyGate::arrived(int n)
{
  count += n;
  decide();
}

void KeyGate::decide()
{
  if (count == CODE_BYTES && !is_key_code(got))
    state = SHUT;
  else if (count == static_cast<int>(sizeof got))
    state = same_key(got + CODE_BYTES, key) ? OPEN : SHUT;
}

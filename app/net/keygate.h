// The key a client must show before ravlon reads anything else of its
// stream: the key request (its code and RAVLON_KEY_BYTES bytes) read field
// by field, never a byte past it, and compared in the same time for every
// key.
#ifndef KEYGATE_H
#define KEYGATE_H

#include "net/protocol.h"

class KeyGate {
public:
  // The key every client must send from now on.
  void set_key(const unsigned char k[RAVLON_KEY_BYTES]);
  // A new client: without a key the gate is open at once.
  void reset();
  bool is_open() const { return state == OPEN; }
  bool is_shut() const { return state == SHUT; }
  // Where the next bytes of the key request go and how many fit there.
  int next(unsigned char*& dst);
  // n bytes (1 to the room next() gave) have been written there; the gate
  // is open or shut once the request is whole, or shut at once when its
  // code is another.
  void arrived(int n);

private:
  enum { OPEN, WAITING, SHUT };
  void decide();

  bool has_key = false;
  unsigned char key[RAVLON_KEY_BYTES] = {};
  unsigned char got[4 + RAVLON_KEY_BYTES] = {};
  int count = 0;
  int state = OPEN;
};

#endif

// The platform's 48-bit generator (drand48 family) and its seed.
#include "ERandom.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>

ERandom* randgen = 0;

ESeed::ESeed()
{
  std::memset(seedbuf, 0, sizeof seedbuf);
}

// Two zero bytes, then the low 32 bits of l from the most significant byte.
ESeed::ESeed(long l)
{
  uint32_t u = static_cast<uint32_t>(l);
  seedbuf[0] = 0;
  seedbuf[1] = 0;
  for (int i = 0; i < 4; i++)
    seedbuf[2 + i] = static_cast<unsigned char>(u >> (24 - 8 * i));
}

ESeed::ESeed(const unsigned char* b)
{
  std::memcpy(seedbuf, b, sizeof seedbuf);
}

ESeed::ESeed(const unsigned short* w)
{
  std::memcpy(seedbuf, w, sizeof seedbuf);
}

// seed48 takes a non-const pointer but only reads through it.
unsigned short* ESeed::operator()() const
{
  return reinterpret_cast<unsigned short*>(const_cast<unsigned char*>(seedbuf));
}

ERandom::ERandom() : seedptr(seed48(ESeed(static_cast<long>(time(0)))())) {}

ERandom::ERandom(ESeed s) : seedptr(seed48(s())) {}

void ERandom::set_seed(ESeed s)
{
  seedptr = seed48(s());
}

// The generator's current state: seed48 answers the state it replaces, so
// seeding with anything and then with that answer reads it unchanged.
ESeed ERandom::get_seed() const
{
  ESeed probe;
  ESeed cur(seed48(probe()));
  seed48(cur());
  return cur;
}

double ERandom::get_rand() const
{
  return drand48();
}

double ERandom::get_rand(const ERange& r) const
{
  return r.lo + drand48() * (r.hi - r.lo);
}

// The 48-bit random generator of the platform, with its seed.
#ifndef ERANDOM_H
#define ERANDOM_H

#include "ERange.h"

class ESeed {
public:
  ESeed();
  explicit ESeed(long l);  // the low 32 bits of l, most significant first
  explicit ESeed(const unsigned char* b);
  explicit ESeed(const unsigned short* w);
  unsigned short* operator()() const;

private:
  // Aligned so that it can be handed to seed48 as three 16-bit words.
  alignas(unsigned short) unsigned char seedbuf[6];
};

class ERandom {
public:
  ERandom();
  explicit ERandom(ESeed s);
  void set_seed(ESeed s);
  ESeed get_seed() const;
  double get_rand() const;
  double get_rand(const ERange& r) const;

private:
  unsigned short* seedptr;
};

extern ERandom* randgen;

#endif

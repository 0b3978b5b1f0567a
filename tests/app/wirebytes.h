// Requests as bytes on the wire, for tests that build a client's stream by
// hand: integers go most significant byte first.
#ifndef WIREBYTES_H
#define WIREBYTES_H

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

using Bytes = std::vector<unsigned char>;

inline Bytes ints(std::initializer_list<int> v)
{
  Bytes b;
  for (int i : v)
    for (int s = 24; s >= 0; s -= 8)
      b.push_back(static_cast<unsigned char>(static_cast<unsigned>(i) >> s));
  return b;
}

inline Bytes operator+(Bytes a, const Bytes& b)
{
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A float64 as the view request sends it, most significant byte first.
inline Bytes float64(double v)
{
  uint64_t bits;
  memcpy(&bits, &v, sizeof bits);
  Bytes b;
  for (int s = 56; s >= 0; s -= 8)
    b.push_back(static_cast<unsigned char>(bits >> s));
  return b;
}

#endif

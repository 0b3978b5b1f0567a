// The planes of a w x h test frame whose bytes vary along both axes, so
// that a pixel in the wrong place shows.
#ifndef FRAMEPLANES_H
#define FRAMEPLANES_H

#include <vector>

struct FramePlanes {
  FramePlanes(int w, int h) : r(static_cast<size_t>(w) * h), g(r.size()), b(r.size())
  {
    for (size_t i = 0; i < r.size(); i++) {
      r[i] = static_cast<unsigned char>(i * 3);
      g[i] = static_cast<unsigned char>(i / h);
      b[i] = static_cast<unsigned char>(i * 7 + i / 5);
    }
  }
  std::vector<unsigned char> r, g, b;
};

#endif

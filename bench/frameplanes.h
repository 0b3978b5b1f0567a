// The planes of a w x h test frame whose bytes vary along both axes, so
// that a pixel in the wrong place shows.
#ifndef FRAMEPLANES_H
#define FRAMEPLANES_H

#include <algorithm>
#include <vector>

#include "render/frame.h"

struct FramePlanes {
  FramePlanes(int w, int h) : r(static_cast<size_t>(w) * h), g(r.size()), b(r.size())
  {
    for (size_t i = 0; i < r.size(); i++) {
      r[i] = static_cast<unsigned char>(i * 3);
      g[i] = static_cast<unsigned char>(i / h);
      b[i] = static_cast<unsigned char>(i * 7 + i / 5);
    }
  }
  // Into the frame store, red, green and blue or r alone as the index
  // vector, as a client's frame arrives.
  void load(Frame& f, bool rgb) const
  {
    const int size = static_cast<int>(r.size());
    const std::vector<unsigned char>* planes[] = {&r, &g, &b};
    for (int k = 0; k < (rgb ? 3 : 1); k++)
      std::copy(planes[k]->begin(), planes[k]->end(), f.plane_buffer(rgb ? k : FRAME_CVEC, size));
    f.complete(rgb ? FRAME_RGB : FRAME_INDEX, size);
  }
  std::vector<unsigned char> r, g, b;
};

#endif

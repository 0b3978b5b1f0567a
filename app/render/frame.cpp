#include "render/frame.h"

#include <new>

Frame::Frame(int w, int h)
    : kind(FRAME_NONE),
      size(0),
      width(w),
      height(h),
      red_vec(nullptr),
      green_vec(nullptr),
      blue_vec(nullptr),
      cvec(nullptr),
      red_cap(0),
      green_cap(0),
      blue_cap(0),
      cvec_cap(0),
      is_whole(false)
{
}

Frame::~Frame()
{
  free_vectors();
}

void Frame::slot(int plane, unsigned char**& vec, int*& cap)
{
  switch (plane) {
    case FRAME_RED: vec = &red_vec, cap = &red_cap; break;
    case FRAME_GREEN: vec = &green_vec, cap = &green_cap; break;
    case FRAME_BLUE: vec = &blue_vec, cap = &blue_cap; break;
    default: vec = &cvec, cap = &cvec_cap; break;
  }
}

// A vector is made at the first frame of its kind and is made again when a
// frame is larger than what it holds, or a quarter of it or less, so that
// memory follows the frames; its old contents are overwritten anyway. A
// vector of the other kind leaves the frame held alone.
unsigned char* Frame::plane_buffer(int plane, int size_)
{
  unsigned char** vec = nullptr;
  int* cap = nullptr;
  slot(plane, vec, cap);
  const bool ours = (kind == FRAME_INDEX) == (plane == FRAME_CVEC);
  if (ours)
    is_whole = false;
  if (*vec && size_ <= *cap && size_ > *cap / 4)
    return *vec;
  if (ours)
    kind = FRAME_NONE;
  delete[] * vec;
  *cap = 0;
  *vec = new (std::nothrow) unsigned char[size_ > 0 ? size_ : 1];
  if (*vec)
    *cap = size_;
  return *vec;
}

void Frame::complete(FrameKind k, int size_)
{
  kind = k;
  size = size_;
  is_whole = true;
}

void Frame::resize(int w, int h)
{
  width = w;
  height = h;
  kind = FRAME_NONE;
}

void Frame::free_vectors()
{
  for (int p = FRAME_RED; p <= FRAME_CVEC; p++) {
    unsigned char** vec = nullptr;
    int* cap = nullptr;
    slot(p, vec, cap);
    delete[] * vec;
    *vec = nullptr;
    *cap = 0;
  }
  kind = FRAME_NONE;
}

int Frame::planes(const unsigned char* p[3]) const
{
  p[0] = kind == FRAME_INDEX ? cvec : red_vec;
  p[1] = green_vec;
  p[2] = blue_vec;
  return kind;
}

int Frame::value_at(int x, int y, unsigned v[3]) const
{
  const long i = static_cast<long>(x) * height + y;
  if (kind == FRAME_NONE || i >= size)
    return 0;
  const unsigned char* p[3];
  const int n = planes(p);
  for (int k = 0; k < n; k++)
    v[k] = p[k][i];
  return n;
}

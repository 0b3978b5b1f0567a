#include "render/frame.h"

#include <cstring>
#include <new>
#include <utility>

#include "render/samples.h"

Frame::Frame(int w, int h)
    : kind(FRAME_NONE),
      size(0),
      format(0),
      width(w),
      height(h),
      held_vec(),
      next_vec(),
      prev_kind(FRAME_NONE),
      prev_size(0),
      prev_format(0)
{
}

Frame::~Frame()
{
  free_vectors();
}

namespace {

int plane_count(FrameKind k)
{
  return k == FRAME_RGB ? 3 : k == FRAME_NONE ? 0 : 1;
}

int first_plane(FrameKind k)
{
  return k == FRAME_INDEX ? FRAME_CVEC : k == FRAME_SAMPLES ? FRAME_DATA : FRAME_RED;
}

// A vector is kept for a frame it holds that is larger than a quarter of
// it, so that memory follows the frames.
bool fits(const FrameVector& v, int size)
{
  return v.bytes && size <= v.cap && size > v.cap / 4;
}

bool writable(const FrameVector& v, int size)
{
  return fits(v, size) && v.own.use_count() == 1;
}

}  // namespace

// A vector is made at the first frame of its kind and is made again when a
// frame is larger than what it holds, or a quarter of it or less, so that
// memory follows the frames; its old contents are overwritten anyway. One
// that the history holds too is left to it, and a spare taken instead.
unsigned char* Frame::plane_buffer(int plane, int size_)
{
  FrameVector& v = next_vec[plane];
  if (writable(v, size_))
    return v.bytes;
  if (writable(spare_vec[plane], size_)) {
    v = std::move(spare_vec[plane]);
    spare_vec[plane] = FrameVector();
    return v.bytes;
  }
  v = FrameVector();
  unsigned char* b = new (std::nothrow) unsigned char[size_ > 0 ? size_ : 1];
  if (!b)
    return nullptr;
  v.own.reset(b, std::default_delete<unsigned char[]>());
  v.bytes = b;
  v.cap = size_;
  return v.bytes;
}

void Frame::swap_planes(FrameKind k)
{
  const int first = first_plane(k);
  for (int p = first; p < first + plane_count(k); p++)
    std::swap(held_vec[p], next_vec[p]);
}

void Frame::complete(FrameKind k, int size_)
{
  swap_planes(k);
  prev_kind = kind;
  prev_size = size;
  prev_format = format;
  kind = k;
  size = size_;
}

void Frame::complete_samples(int format_, int bytes)
{
  complete(FRAME_SAMPLES, bytes);
  format = format_;
}

void Frame::undo_complete()
{
  swap_planes(kind);
  kind = prev_kind;
  size = prev_size;
  format = prev_format;
  prev_kind = FRAME_NONE;
}

void Frame::apply_region(const unsigned char* src, int x, int y, int w, int h)
{
  const long px = pixel_bytes(format), row = w * px;
  unsigned char* dst = held_vec[FRAME_DATA].bytes;
  for (int r = 0; r < h; r++)
    memcpy(dst + ((static_cast<long>(y) + r) * width + x) * px, src + r * row,
           static_cast<size_t>(row));
}

bool Frame::one_channel() const
{
  return kind == FRAME_SAMPLES && !rgb_format(format);
}

void Frame::resize(int w, int h)
{
  width = w;
  height = h;
  kind = prev_kind = FRAME_NONE;
}

void Frame::drop_next()
{
  for (int p = 0; p < FRAME_PLANES; p++)
    next_vec[p] = spare_vec[p] = FrameVector();
}

void Frame::free_vectors()
{
  drop_next();
  for (FrameVector& v : held_vec)
    v = FrameVector();
  kind = prev_kind = FRAME_NONE;
}

long Frame::held_bytes() const
{
  return static_cast<long>(size) * plane_count(kind);
}

void Frame::share_held(const Frame& f)
{
  const int first = first_plane(f.kind);
  for (int p = 0; p < FRAME_PLANES; p++)
    held_vec[p] = p >= first && p < first + plane_count(f.kind) ? f.held_vec[p] : FrameVector();
  kind = f.kind;
  prev_kind = FRAME_NONE;
  size = f.size;
  format = f.format;
  width = f.width;
  height = f.height;
}

void Frame::take_spares(Frame& old)
{
  for (int p = 0; p < FRAME_PLANES; p++)
    if (old.held_vec[p].own.use_count() == 1)
      spare_vec[p] = std::move(old.held_vec[p]);
}

int Frame::planes(const unsigned char* p[3]) const
{
  p[0] = held_vec[kind == FRAME_INDEX ? FRAME_CVEC : FRAME_RED].bytes;
  p[1] = held_vec[FRAME_GREEN].bytes;
  p[2] = held_vec[FRAME_BLUE].bytes;
  return kind;
}

int Frame::value_at(int x, int y, double v[3]) const
{
  if (kind == FRAME_SAMPLES)
    return sample_values(samples() + (static_cast<long>(y) * width + x) * pixel_bytes(format),
                         format, v);
  const long i = static_cast<long>(x) * height + y;
  if (kind == FRAME_NONE || i >= size)
    return 0;
  const unsigned char* p[3];
  const int n = planes(p);
  for (int k = 0; k < n; k++)
    v[k] = p[k][i];
  return n;
}

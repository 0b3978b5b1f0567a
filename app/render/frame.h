// The frame store: the last whole frame received, in the vectors it
// arrived in, and the vectors the next one arrives in, so that the frame
// shown stays whole (to redraw, read and save) whatever happens to the
// next. The decoder writes into it, the image draws from it, the status
// line and Save Picture read it.
#ifndef FRAME_H
#define FRAME_H

#include <memory>

// What a frame's bytes are: for the planar kinds the value is their
// number of planes; FRAME_SAMPLES is a typed frame, row by row.
enum FrameKind { FRAME_NONE = 0, FRAME_INDEX = 1, FRAME_RGB = 3, FRAME_SAMPLES = 4 };

// The vectors frames arrive in: planes column by column, or a typed
// frame's samples.
enum FramePlane { FRAME_RED, FRAME_GREEN, FRAME_BLUE, FRAME_CVEC, FRAME_DATA, FRAME_PLANES };

// Its bytes may be held by more than one frame (the frame shown and the
// history's copy of it): no frame arrives in a vector held by another, and
// a region written into it is in every frame that holds it.
struct FrameVector {
  unsigned char* bytes;
  int cap;  // bytes it holds
  std::shared_ptr<unsigned char> own;
};

class Frame {
public:
  Frame(int w, int h);
  ~Frame();
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;

  // The vector the next frame's plane arrives in, able to hold size
  // bytes; null when memory is short.
  unsigned char* plane_buffer(int plane, int size);
  // The next frame's planes of kind, size bytes each, are whole: they are
  // the frame held now, and the vectors they replace take the next one.
  void complete(FrameKind k, int size);
  // The same for a typed frame of the frame's size, in format.
  void complete_samples(int format, int bytes);
  // The samples at src, a w x h rectangle in the held frame's format,
  // replace that rectangle of it, which lies inside the frame.
  void apply_region(const unsigned char* src, int x, int y, int w, int h);
  // The frame held before the last complete() is back (the last one could
  // not be shown).
  void undo_complete();
  // The picture's new size: no frame is held until the next one.
  void resize(int w, int h);
  // The next frame will never come: its vectors go.
  void drop_next();
  void free_vectors();
  bool held() const { return kind != FRAME_NONE; }
  // A typed frame of one sample a pixel, shown through a colour map.
  bool one_channel() const;
  // The frame held by f, its vectors shared with f, with f's size.
  void share_held(const Frame& f);
  // Vectors of old that nothing else holds wait for the next frames
  // here, so that memory once had is not faulted in again.
  void take_spares(Frame& old);
  // The bytes of the frame held.
  long held_bytes() const;
  // The frame's planes (red, green, blue, or the index vector); their number.
  int planes(const unsigned char* p[3]) const;
  // The frame's bytes at pixel (x, y) into v; their number, 0 where the
  // frame holds none. A typed frame's values, converted.
  int value_at(int x, int y, double v[3]) const;
  // A typed frame's samples.
  const unsigned char* samples() const { return held_vec[FRAME_DATA].bytes; }
  const FrameVector& vector(int plane) const { return held_vec[plane]; }
  const FrameVector& next_vector(int plane) const { return next_vec[plane]; }

  FrameKind kind;  // of the frame held
  // Bytes per plane, column by column: pixel (x, y) at x * height + y; of
  // a typed frame, its bytes, row by row: pixel (x, y) at y * width + x.
  int size;
  int format;  // of a typed frame (RAVLON_RGB...)
  int width;
  int height;

private:
  void swap_planes(FrameKind k);

  FrameVector held_vec[FRAME_PLANES];
  FrameVector next_vec[FRAME_PLANES];
  FrameVector spare_vec[FRAME_PLANES];
  FrameKind prev_kind;
  int prev_size;
  int prev_format;
};

#endif

// The frame store: the last whole frame received, in the vectors it
// arrived in, and the vectors the next one arrives in, so that the frame
// shown stays whole (to redraw, read and save) whatever happens to the
// next. The decoder writes into it, the image draws from it, the status
// line and Save Picture read it.
#ifndef FRAME_H
#define FRAME_H

// What a frame's bytes are; the value is its number of planes.
enum FrameKind { FRAME_NONE = 0, FRAME_INDEX = 1, FRAME_RGB = 3 };

// The vectors frames arrive in.
enum FramePlane { FRAME_RED, FRAME_GREEN, FRAME_BLUE, FRAME_CVEC, FRAME_PLANES };

struct FrameVector {
  unsigned char* bytes;
  int cap;  // bytes it holds
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
  // The frame held before the last complete() is back (the last one could
  // not be shown).
  void undo_complete();
  // The picture's new size: no frame is held until the next one.
  void resize(int w, int h);
  // The next frame will never come: its vectors go.
  void drop_next();
  void free_vectors();
  bool held() const { return kind != FRAME_NONE; }
  // The frame's planes (red, green, blue, or the index vector); their number.
  int planes(const unsigned char* p[3]) const;
  // The frame's bytes at pixel (x, y) into v; their number, 0 where the
  // frame holds none.
  int value_at(int x, int y, unsigned v[3]) const;
  const FrameVector& vector(int plane) const { return held_vec[plane]; }
  const FrameVector& next_vector(int plane) const { return next_vec[plane]; }

  FrameKind kind;  // of the frame held
  int size;        // bytes per plane, column by column: pixel (x, y) at x * height + y
  int width;
  int height;

private:
  void swap_planes(FrameKind k);

  FrameVector held_vec[FRAME_PLANES];
  FrameVector next_vec[FRAME_PLANES];
  FrameKind prev_kind;
  int prev_size;
};

#endif

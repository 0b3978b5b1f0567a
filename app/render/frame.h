// The frame store: the last frame received, in the vectors it arrived in,
// and what is known of it. The decoder writes into it, the image draws from
// it, the status line and Save Picture read it.
#ifndef FRAME_H
#define FRAME_H

// What a frame's bytes are; the value is its number of planes.
enum FrameKind { FRAME_NONE = 0, FRAME_INDEX = 1, FRAME_RGB = 3 };

// The vectors frames arrive in.
enum FramePlane { FRAME_RED, FRAME_GREEN, FRAME_BLUE, FRAME_CVEC };

class Frame {
public:
  Frame(int w, int h);
  ~Frame();
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;

  // The vector for plane, able to hold size bytes; null when memory is
  // short. The frame it belongs to is no longer whole, and is forgotten
  // when the vector has to be made again.
  unsigned char* plane_buffer(int plane, int size);
  // The vectors of kind now hold a whole frame of size bytes each.
  void complete(FrameKind k, int size);
  // The picture's new size: no frame is held until the next one.
  void resize(int w, int h);
  void free_vectors();
  // A frame is held as it was received, none of it overwritten yet.
  bool whole() const { return kind != FRAME_NONE && is_whole; }
  // The frame's planes (red, green, blue, or the index vector); their number.
  int planes(const unsigned char* p[3]) const;
  // The frame's bytes at pixel (x, y) into v; their number, 0 where the
  // frame holds none.
  int value_at(int x, int y, unsigned v[3]) const;

  FrameKind kind;  // of the frame held, also while the next overwrites it
  int size;        // bytes per plane, column by column: pixel (x, y) at x * height + y
  int width;
  int height;
  unsigned char* red_vec;
  unsigned char* green_vec;
  unsigned char* blue_vec;
  unsigned char* cvec;
  // Bytes each vector holds; a larger frame grows it.
  int red_cap;
  int green_cap;
  int blue_cap;
  int cvec_cap;

private:
  void slot(int plane, unsigned char**& vec, int*& cap);
  bool is_whole;
};

#endif

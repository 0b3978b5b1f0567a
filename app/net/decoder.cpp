// The request decoder: integer fields gather in a word, plane bytes go
// straight into the sink's vectors at their offset.
#include "net/decoder.h"

#include <cstring>

#include "net/protocol.h"

namespace {

enum {
  FIELD_CODE,
  FIELD_WIDTH,
  FIELD_HEIGHT,
  FIELD_RGB_SIZE,
  FIELD_RED,
  FIELD_GREEN,
  FIELD_BLUE,
  FIELD_MAP_SIZE,
  FIELD_CVEC,
  FIELD_END  // failed, or the disconnect asked for: nothing more is read
};

// Each field's message when the stream ends inside it, and when what it
// says is refused (or its vector cannot be had).
struct FieldText {
  const char* cut;
  const char* refused;
};

const FieldText texts[] = {
    {"Cannot read request type.", nullptr},
    {"Cannot read image width.", nullptr},
    {"Cannot read image height.", "Invalid image size."},
    {"Cannot read size of color vector.", "Invalid size of color vector."},
    {"Cannot read red color vector.", "Cannot allocate red color vector."},
    {"Cannot read green color vector.", "Cannot allocate green color vector."},
    {"Cannot read blue color vector.", "Cannot allocate blue color vector."},
    {"Cannot read size of colormap index vector.", "Invalid size of colormap index vector."},
    {"Cannot read cvec[] colormap index vector.", "Cannot allocate cvec[] colormap index vector."},
    {nullptr, nullptr},
};

int plane_of(int field)
{
  return field == FIELD_CVEC ? PLANE_CVEC : field - FIELD_RED + PLANE_RED;
}

bool is_plane(int field)
{
  return field == FIELD_CVEC || (field >= FIELD_RED && field <= FIELD_BLUE);
}

}  // namespace

Decoder::Decoder(RequestSink* s)
    : sink(s), field(FIELD_END), buf(), dst(nullptr), len(0), got(0), width(0), size(0)
{
  reset();
}

void Decoder::reset()
{
  width = 0;
  size = 0;
  begin(FIELD_CODE);
}

int Decoder::next(unsigned char*& d)
{
  if (field == FIELD_END)
    return 0;
  d = dst + got;
  return len - got;
}

// A plane of size 0 is whole as soon as it begins: one arrival may finish
// several fields.
int Decoder::arrived(int n)
{
  if (field == FIELD_END)
    return -1;
  got += n;
  while (field != FIELD_END && got == len)
    field_done();
  return field == FIELD_END ? -1 : 0;
}

int Decoder::feed(const unsigned char* p, int n)
{
  while (n > 0) {
    unsigned char* d = nullptr;
    int room = next(d);
    if (room == 0)
      return -1;
    int k = room < n ? room : n;
    memcpy(d, p, static_cast<size_t>(k));
    p += k;
    n -= k;
    if (arrived(k) < 0)
      return -1;
  }
  return field == FIELD_END ? -1 : 0;
}

bool Decoder::idle() const
{
  return field == FIELD_CODE && got == 0;
}

const char* Decoder::cut_message() const
{
  return texts[field].cut;
}

// A plane's vector is asked for when its bytes are due, as the frame's
// size is known and believed by then.
void Decoder::begin(int f)
{
  field = f;
  got = 0;
  if (!is_plane(f)) {
    dst = buf;
    len = 4;
    return;
  }
  len = size;
  dst = sink->plane_buffer(plane_of(f), size);
  if (!dst)
    fail(texts[f].refused);
}

void Decoder::fail(const char* msg)
{
  field = FIELD_END;
  sink->fail_request(msg);
}

int Decoder::word() const
{
  return static_cast<int>(static_cast<unsigned>(buf[0]) << 24 |
                          static_cast<unsigned>(buf[1]) << 16 | static_cast<unsigned>(buf[2]) << 8 |
                          buf[3]);
}

// The sink is told last, with the decoder already waiting for the next
// request: whatever it does then, it finds a consistent state.
void Decoder::field_done()
{
  const int f = field;
  switch (f) {
    case FIELD_CODE:
      switch (word()) {
        case REQ_DISCONNECT:
          field = FIELD_END;
          sink->disconnect_request();
          return;
        case REQ_RESIZE: begin(FIELD_WIDTH); return;
        case REQ_COLRGB: begin(FIELD_RGB_SIZE); return;
        case REQ_COLMAP: begin(FIELD_MAP_SIZE); return;
        default: begin(FIELD_CODE); return;  // unknown codes are skipped
      }
    case FIELD_WIDTH:
      width = word();
      begin(FIELD_HEIGHT);
      return;
    case FIELD_HEIGHT: {
      const int w = width, h = word();
      begin(FIELD_CODE);
      if (valid_image_size(w, h))
        sink->resize_image(w, h);
      else
        sink->refuse_request(texts[f].refused);
      return;
    }
    case FIELD_RGB_SIZE:
    case FIELD_MAP_SIZE:
      // The bytes of a size that cannot be believed would be read as
      // requests.
      size = word();
      if (valid_frame_size(size)) {
        begin(f + 1);
        return;
      }
      fail(texts[f].refused);
      return;
    case FIELD_RED:
    case FIELD_GREEN: begin(f + 1); return;
    case FIELD_BLUE:
    case FIELD_CVEC: end_request(); return;
  }
}

void Decoder::end_request()
{
  const int f = field;
  begin(FIELD_CODE);
  if (f == FIELD_BLUE)
    sink->update_colrgb(size);
  else
    sink->update_colmap(size);
}

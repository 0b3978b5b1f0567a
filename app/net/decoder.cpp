// The request decoder: integer fields gather in a word, plane bytes go
// straight into the sink's vectors at their offset.
#include "net/decoder.h"

#include <cstdint>
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
  FIELD_FRAME_W,
  FIELD_FRAME_H,
  FIELD_FRAME_FORMAT,
  FIELD_FRAME_SAMPLES,
  FIELD_REGION_X,
  FIELD_REGION_Y,
  FIELD_REGION_W,
  FIELD_REGION_H,
  FIELD_REGION_FORMAT,
  FIELD_REGION_SAMPLES,
  FIELD_REGION_SKIP,
  FIELD_VIEW_MAP,
  FIELD_VIEW_SCALE,
  FIELD_VIEW_RULE,
  FIELD_VIEW_FLAGS,
  FIELD_VIEW_PERCENT,
  FIELD_VIEW_VMIN,
  FIELD_VIEW_VMAX,
  FIELD_KEY,
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
    {"Cannot read frame width.", nullptr},
    {"Cannot read frame height.", nullptr},
    {"Cannot read frame format.", "Invalid frame size or format."},
    {"Cannot read frame samples.", "Cannot allocate frame samples."},
    {"Cannot read region x.", nullptr},
    {"Cannot read region y.", nullptr},
    {"Cannot read region width.", nullptr},
    {"Cannot read region height.", nullptr},
    {"Cannot read region format.", "Invalid region size or format."},
    {"Cannot read region samples.", "Cannot allocate region samples."},
    {"Cannot read region samples.", nullptr},
    {"Cannot read view request.", nullptr},
    {"Cannot read view request.", nullptr},
    {"Cannot read view request.", nullptr},
    {"Cannot read view request.", nullptr},
    {"Cannot read view request.", nullptr},
    {"Cannot read view request.", nullptr},
    {"Cannot read view request.", "Invalid view request."},
    {"Cannot read key request.", nullptr},
    {nullptr, nullptr},
};

// Fields of eight bytes: the view request's floats.
bool is_float(int field)
{
  return field >= FIELD_VIEW_PERCENT && field <= FIELD_VIEW_VMAX;
}

bool is_samples(int field)
{
  return field == FIELD_FRAME_SAMPLES || field == FIELD_REGION_SAMPLES;
}

bool valid_view(const ViewRequest& v)
{
  return ravlon_valid_view(v.map, v.scale, v.rule, v.flags, v.percent, v.vmin, v.vmax);
}

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
    : sink(s),
      field(FIELD_END),
      buf(),
      dst(nullptr),
      len(0),
      got(0),
      width(0),
      size(0),
      words(),
      floats(),
      skipping(0),
      scrap()
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
  if (field == FIELD_FRAME_SAMPLES && got < len)
    sink->frame_arriving(words[0], words[1], words[2], got);
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
// size is known and believed by then; so are a typed frame's samples.
void Decoder::begin(int f)
{
  field = f;
  got = 0;
  if (f == FIELD_REGION_SKIP || f == FIELD_KEY) {
    const long n = f == FIELD_KEY ? RAVLON_KEY_BYTES : skipping;
    dst = scrap;
    len = static_cast<int>(n < static_cast<long>(sizeof scrap) ? n : sizeof scrap);
    return;
  }
  if (!is_plane(f) && !is_samples(f)) {
    dst = buf;
    len = is_float(f) ? 8 : 4;
    return;
  }
  len = size;
  dst = is_plane(f) ? sink->plane_buffer(plane_of(f), size) : sink->sample_buffer(size);
  if (!dst)
    fail(texts[f].refused);
}

void Decoder::fail(const char* msg)
{
  field = FIELD_END;
  sink->fail_request(msg);
}

double Decoder::float_word() const
{
  uint64_t bits = 0;
  for (unsigned char b : buf)
    bits = bits << 8 | b;
  double v;
  memcpy(&v, &bits, sizeof v);
  return v;
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
        case REQ_FRAME: begin(FIELD_FRAME_W); return;
        case REQ_REGION: begin(FIELD_REGION_X); return;
        case REQ_VIEW: begin(FIELD_VIEW_MAP); return;
        // The server has checked the key, if it asks for one, before the
        // stream reaches here: a key that follows is passed over.
        case REQ_KEY: begin(FIELD_KEY); return;
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
    case FIELD_CVEC:
    case FIELD_FRAME_SAMPLES:
    case FIELD_REGION_SAMPLES: end_request(); return;
    case FIELD_FRAME_W:
    case FIELD_FRAME_H:
      words[f - FIELD_FRAME_W] = word();
      begin(f + 1);
      return;
    case FIELD_FRAME_FORMAT:
      words[2] = word();
      take_frame_format();
      return;
    case FIELD_REGION_X:
    case FIELD_REGION_Y:
    case FIELD_REGION_W:
    case FIELD_REGION_H:
      words[f - FIELD_REGION_X] = word();
      begin(f + 1);
      return;
    case FIELD_REGION_FORMAT:
      words[4] = word();
      take_region_format();
      return;
    case FIELD_REGION_SKIP: skip(skipping - len); return;
    case FIELD_KEY: begin(FIELD_CODE); return;
    case FIELD_VIEW_PERCENT:
    case FIELD_VIEW_VMIN:
    case FIELD_VIEW_VMAX:
      floats[f - FIELD_VIEW_PERCENT] = float_word();
      if (f == FIELD_VIEW_VMAX)
        take_view();
      else
        begin(f + 1);
      return;
    default:  // the view request's integers
      words[f - FIELD_VIEW_MAP] = word();
      begin(f + 1);
      return;
  }
}

// The samples' length follows from the size and format: ones that cannot
// be believed leave a stream that cannot be read on.
void Decoder::take_frame_format()
{
  const long n = ravlon_sample_bytes(words[0], words[1], words[2]);
  if (n < 0) {
    fail(texts[FIELD_FRAME_FORMAT].refused);
    return;
  }
  size = static_cast<int>(n);
  begin(FIELD_FRAME_SAMPLES);
}

void Decoder::take_region_format()
{
  const long n = ravlon_sample_bytes(words[2], words[3], words[4]);
  if (n < 0) {
    fail(texts[FIELD_REGION_FORMAT].refused);
    return;
  }
  size = static_cast<int>(n);
  const char* refusal = sink->check_region(words[0], words[1], words[2], words[3], words[4]);
  if (!refusal) {
    begin(FIELD_REGION_SAMPLES);
    return;
  }
  sink->refuse_request(refusal);
  skip(n);
}

// A refused region's samples are read and dropped: the stream goes on.
void Decoder::skip(long n)
{
  skipping = n;
  begin(n > 0 ? FIELD_REGION_SKIP : FIELD_CODE);
}

void Decoder::take_view()
{
  const ViewRequest v = {words[0], words[1], words[2], words[3], floats[0], floats[1], floats[2]};
  begin(FIELD_CODE);
  if (valid_view(v))
    sink->update_view(v);
  else
    sink->refuse_request(texts[FIELD_VIEW_VMAX].refused);
}

void Decoder::end_request()
{
  const int f = field;
  begin(FIELD_CODE);
  if (f == FIELD_BLUE)
    sink->update_colrgb(size);
  else if (f == FIELD_CVEC)
    sink->update_colmap(size);
  else if (f == FIELD_FRAME_SAMPLES)
    sink->update_frame(words[0], words[1], words[2]);
  else
    sink->update_region(words[0], words[1], words[2], words[3]);
}

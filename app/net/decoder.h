// The request decoder: the state of the request in progress, field by
// field, fed with the bytes of the stream however they are split. Whole
// requests and failures go to a RequestSink; no socket and no X here.
#ifndef DECODER_H
#define DECODER_H

// The vectors a frame's bytes go to.
enum { PLANE_RED, PLANE_GREEN, PLANE_BLUE, PLANE_CVEC };

// How one-channel frames are to be shown, as a view request asks.
struct ViewRequest {
  int map;  // with RAVLON_MAP_INVERT
  int scale;
  int rule;
  int flags;  // which of vmin and vmax are fixed
  double percent;
  double vmin;
  double vmax;
};

class RequestSink {
public:
  virtual ~RequestSink() = default;

  // Room for size bytes (0 allowed) of the plane, kept until the plane is
  // asked for again; null when it cannot be had.
  virtual unsigned char* plane_buffer(int plane, int size) = 0;
  // Whole requests, their sizes within the limits.
  virtual int resize_image(int w, int h) = 0;
  virtual int update_colrgb(int size) = 0;
  virtual int update_colmap(int size) = 0;
  virtual void disconnect_request() = 0;
  // Room for the samples of a typed frame or a region (bytes within the
  // limits), kept until they are asked for again; null when it cannot be
  // had.
  virtual unsigned char* sample_buffer(long bytes) = 0;
  // The first bytes (fewer than all) of a typed frame's samples have
  // arrived in the room sample_buffer gave: a sink may start on them.
  virtual void frame_arriving(int w, int h, int format, long bytes) = 0;
  // A typed frame, its size and format checked, has arrived whole.
  virtual int update_frame(int w, int h, int format) = 0;
  // Why a region cannot be taken (outside the frame, another format), or
  // null when it can; a refused region's samples are skipped.
  virtual const char* check_region(int x, int y, int w, int h, int format) = 0;
  virtual int update_region(int x, int y, int w, int h) = 0;
  virtual int update_view(const ViewRequest& v) = 0;
  // A request that was read whole but refused; the stream goes on.
  virtual void refuse_request(const char* msg) = 0;
  // The stream cannot be trusted past this point; nothing more is decoded.
  virtual void fail_request(const char* msg) = 0;
};

class Decoder {
public:
  explicit Decoder(RequestSink* s);

  // Where the next bytes of the stream go and how many fit there; 0 once
  // the stream has failed or asked for the disconnect.
  int next(unsigned char*& dst);
  // n bytes (1 to the room next() gave) have been written there. Returns
  // 0, or -1 once the stream has failed or asked for the disconnect.
  int arrived(int n);
  // Copies n bytes in; the same as next() and arrived() in turn.
  int feed(const unsigned char* p, int n);

  // No request is in progress: the stream may end here.
  bool idle() const;
  // The message of a stream that ends or stalls here: the field in
  // progress, or the request type between requests.
  const char* cut_message() const;
  // Ready for a new stream.
  void reset();

private:
  void field_done();
  void begin(int f);
  void fail(const char* msg);
  int word() const;
  void end_request();
  void take_frame_format();
  void take_region_format();
  void take_view();
  void skip(long n);
  double float_word() const;

  RequestSink* sink;
  int field;                  // the field in progress, or FIELD_END
  unsigned char buf[8];       // an integer or float field as it arrives
  unsigned char* dst;         // where the field's bytes go
  int len;                    // bytes of the field
  int got;                    // bytes of the field arrived so far
  int width;                  // of a resize, until its height arrives
  int size;                   // of the frame in progress
  int words[6];               // a typed request's integer fields so far
  double floats[3];           // a view request's
  long skipping;              // bytes of a refused region still to skip
  unsigned char scrap[4096];  // where they go
};

#endif

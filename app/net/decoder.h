// The request decoder: the state of the request in progress, field by
// field, fed with the bytes of the stream however they are split. Whole
// requests and failures go to a RequestSink; no socket and no X here.
#ifndef DECODER_H
#define DECODER_H

// The vectors a frame's bytes go to.
enum { PLANE_RED, PLANE_GREEN, PLANE_BLUE, PLANE_CVEC };

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

  RequestSink* sink;
  int field;             // the field in progress, or FIELD_END
  unsigned char buf[4];  // an integer field as it arrives
  unsigned char* dst;    // where the field's bytes go
  int len;               // bytes of the field
  int got;               // bytes of the field arrived so far
  int width;             // of a resize, until its height arrives
  int size;              // of the frame in progress
};

#endif

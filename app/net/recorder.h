// The recording of a client's stream: every whole request as received,
// with the time it began to arrive, written to a file by the writer. The
// file's layout is in docs/protocol.md (Recordings).
#ifndef RECORDER_H
#define RECORDER_H

#include "net/recordwriter.h"

// Told when a recording ends by itself (the file could not be written).
class RecordWatcher {
public:
  virtual ~RecordWatcher() = default;
  virtual void recording_ended() = 0;
};

class Recorder {
public:
  Recorder();
  ~Recorder();  // stops a recording
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  // A new recording into file, from the next request on; -1 with the
  // message in the error window.
  int start(const char* file, RecordWatcher* w);
  // What is buffered is written; a request still arriving is left out.
  void stop();
  bool recording() const { return out.is_open(); }

  // n bytes of the stream as read; first when they begin a request.
  // Bytes of a request begun before the recording are left out.
  void take(const unsigned char* p, int n, bool first);
  // The request taken last is whole.
  void request_done();
  // The request taken last will never be whole (its client has gone).
  void drop_request();

private:
  // Ends the recording after a failure: err says why.
  void fail(int err);
  void end();

  RecordWriter out;
  char* file;     // the file's name while recording
  long rec_at;    // where the request being taken begins in the file, or -1
  long rec_len;   // its bytes so far
  long start_ns;  // when the recording began
  RecordWatcher* watcher;
};

#endif

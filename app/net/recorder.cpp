// Recording: a request's length is known when it ends, so its record is
// put with the length that marks a cut request and set right once the
// request is whole.
#include "net/recorder.h"

#include <time.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "EEtc.h"
#include "base/service.h"

namespace {

const char MAGIC[] = "RAVLONREC";
const unsigned VERSION = 1;
const unsigned long CUT = 0xffffffffUL;  // the length of a request never finished

long now_ns()
{
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000000000L + t.tv_nsec;
}

// Most significant byte first, as the wire protocol's integers.
void put_be(unsigned char* out, unsigned long long v, int bytes)
{
  for (int i = bytes - 1; i >= 0; i--, v >>= 8)
    out[i] = static_cast<unsigned char>(v);
}

}  // namespace

Recorder::Recorder() : file(nullptr), rec_at(-1), rec_len(0), start_ns(0), watcher(nullptr) {}

Recorder::~Recorder()
{
  stop();
}

int Recorder::start(const char* name, RecordWatcher* w)
{
  stop();
  if (out.open(name) < 0) {
    snprintf(buf, sizeof buf, "Cannot record to %.400s: %.80s.", name, strerror(errno));
    error_dialog(buf);
    return -1;
  }
  file = strnew(name);
  watcher = w;
  rec_at = -1;
  start_ns = now_ns();
  unsigned char head[sizeof MAGIC - 1 + 4];
  memcpy(head, MAGIC, sizeof MAGIC - 1);
  put_be(head + sizeof MAGIC - 1, VERSION, 4);
  out.put(head, sizeof head);
  return 0;
}

void Recorder::stop()
{
  if (!recording())
    return;
  drop_request();
  if (const int err = out.close())
    fail(err);
  else
    end();
}

void Recorder::take(const unsigned char* p, int n, bool first)
{
  if (!recording())
    return;
  if (first) {
    unsigned char head[12];
    put_be(head, static_cast<unsigned long long>(now_ns() - start_ns), 8);
    put_be(head + 8, CUT, 4);
    rec_at = out.size();
    rec_len = 0;
    out.put(head, sizeof head);
  }
  if (rec_at >= 0) {
    rec_len += n;
    out.put(p, n);
  }
  if (out.failed())
    fail(out.close());
}

void Recorder::request_done()
{
  if (!recording() || rec_at < 0)
    return;
  unsigned char len[4];
  put_be(len, static_cast<unsigned long long>(rec_len), 4);
  out.patch(rec_at + 8, len, sizeof len);
  rec_at = -1;
}

void Recorder::drop_request()
{
  if (!recording() || rec_at < 0)
    return;
  out.cut(rec_at);
  rec_at = -1;
}

// The recording ends, the stream goes on.
void Recorder::fail(int err)
{
  snprintf(buf, sizeof buf, "Recording to %.400s stopped: %.80s.", file, strerror(err));
  end();
  error_dialog(buf);
  if (watcher)
    watcher->recording_ended();
}

void Recorder::end()
{
  delete[] file;
  file = nullptr;
  rec_at = -1;
}

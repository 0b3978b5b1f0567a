// Recording: small pieces gather in one buffer that goes to the file
// whole; large ones (a frame's planes) go straight to it, so that a frame
// is copied once at most. A request's length is known when it ends: its
// record is written with the length that marks a cut request, set right
// in the buffer or in the file once the request is whole.
#include "net/recorder.h"

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "EEtc.h"
#include "base/service.h"

namespace {

const long BUFFER = 4L << 20;
const long DIRECT = 256L << 10;  // pieces this large are not buffered
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

Recorder::Recorder()
    : fd(-1),
      file(nullptr),
      data(nullptr),
      used(0),
      flushed(0),
      rec_at(-1),
      rec_len(0),
      start_ns(0),
      watcher(nullptr)
{
}

Recorder::~Recorder()
{
  stop();
}

int Recorder::start(const char* name, RecordWatcher* w)
{
  stop();
  int f = open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  unsigned char* d = f < 0 ? nullptr : new (std::nothrow) unsigned char[BUFFER];
  if (!d) {
    snprintf(buf, sizeof buf, "Cannot record to %.400s: %.80s.", name,
             strerror(f < 0 ? errno : ENOMEM));
    if (f >= 0)
      close(f);
    error_dialog(buf);
    return -1;
  }
  fd = f;
  data = d;
  file = strnew(name);
  watcher = w;
  used = flushed = 0;
  rec_at = -1;
  start_ns = now_ns();
  unsigned char head[sizeof MAGIC - 1 + 4];
  memcpy(head, MAGIC, sizeof MAGIC - 1);
  put_be(head + sizeof MAGIC - 1, VERSION, 4);
  put(head, sizeof head);
  return 0;
}

void Recorder::stop()
{
  if (fd < 0)
    return;
  drop_request();
  if (fd < 0 || flush() < 0)
    return;
  // A file system that writes late (NFS) tells of a failed write here.
  const int err = close(fd) < 0 ? errno : 0;
  fd = -1;
  if (err)
    fail(err);
  else
    close_file();
}

void Recorder::take(const unsigned char* p, int n, bool first)
{
  if (fd < 0)
    return;
  if (first) {
    unsigned char head[12];
    put_be(head, static_cast<unsigned long long>(now_ns() - start_ns), 8);
    put_be(head + 8, CUT, 4);
    rec_at = flushed + used;
    rec_len = 0;
    put(head, sizeof head);
  }
  if (rec_at < 0)
    return;
  rec_len += n;
  put(p, n);
}

void Recorder::request_done()
{
  if (fd < 0 || rec_at < 0)
    return;
  unsigned char len[4];
  put_be(len, static_cast<unsigned long long>(rec_len), 4);
  const long at = rec_at + 8;
  rec_at = -1;
  if (at >= flushed)
    memcpy(data + (at - flushed), len, sizeof len);
  else if (write_at(len, sizeof len, at) < 0)
    fail(errno);
}

void Recorder::drop_request()
{
  if (fd < 0 || rec_at < 0)
    return;
  const long at = rec_at;
  rec_at = -1;
  if (at >= flushed) {
    used = at - flushed;
    return;
  }
  if (ftruncate(fd, at) < 0) {
    fail(errno);
    return;
  }
  flushed = at;
  used = 0;
}

// A small piece is never split between buffer and file: a record's head
// is always in one of them.
void Recorder::put(const void* p, long n)
{
  if (fd < 0 || (n > BUFFER - used && flush() < 0))
    return;
  if (n < DIRECT) {
    memcpy(data + used, p, static_cast<size_t>(n));
    used += n;
  } else if (write_at(p, n, flushed) < 0) {
    fail(errno);
  } else {
    flushed += n;
  }
}

int Recorder::flush()
{
  if (used && write_at(data, used, flushed) < 0) {
    fail(errno);
    return -1;
  }
  flushed += used;
  used = 0;
  return 0;
}

// A write that takes nothing has found the file system full.
int Recorder::write_at(const void* p, long n, long at)
{
  const unsigned char* q = static_cast<const unsigned char*>(p);
  while (n > 0) {
    ssize_t r = pwrite(fd, q, static_cast<size_t>(n), at);
    if (r < 0 && errno == EINTR)
      continue;
    if (r <= 0) {
      errno = r == 0 ? ENOSPC : errno;
      return -1;
    }
    q += r;
    n -= r;
    at += r;
  }
  return 0;
}

// The recording ends, the stream goes on.
void Recorder::fail(int err)
{
  snprintf(buf, sizeof buf, "Recording to %.400s stopped: %.80s.", file, strerror(err));
  close_file();
  error_dialog(buf);
  if (watcher)
    watcher->recording_ended();
}

void Recorder::close_file()
{
  if (fd >= 0)
    close(fd);
  fd = -1;
  delete[] data;
  data = nullptr;
  delete[] file;
  file = nullptr;
  rec_at = -1;
}

// The writer thread does nothing but write the chunks, patches and cuts
// in the order they were queued; the stream's thread fills the chunks and
// learns of a failure when it next writes.
#include "net/recordwriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

const long CHUNK = 4L << 20;
const long ALIGN = 4096;  // of what goes past the page cache: memory, offset, length
const int CHUNKS = 16;    // a burst the disk cannot take at once
enum { PATCH = -1, CUT = -2 };

}  // namespace

RecordWriter::RecordWriter()
    : fd(-1), direct_fd(-1), cur(0), used(0), cur_at(0), closing(false), err(0)
{
}

RecordWriter::~RecordWriter()
{
  close();
}

int RecordWriter::open(const char* file)
{
  for (int i = 0; i < CHUNKS; i++) {
    void* c = nullptr;
    if (posix_memalign(&c, ALIGN, CHUNK) != 0) {
      for (unsigned char* k : chunks)
        free(k);
      chunks.clear();
      errno = ENOMEM;
      return -1;
    }
    chunks.push_back(static_cast<unsigned char*>(c));
  }
  fd = ::open(file, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    const int e = errno;
    close();
    errno = e;
    return -1;
  }
  direct_fd = ::open(file, O_WRONLY | O_DIRECT | O_CLOEXEC);
  for (int i = 1; i < CHUNKS; i++)
    spare.push_back(i);
  cur = 0;
  used = cur_at = 0;
  closing = false;
  err = 0;
  writer = std::thread(&RecordWriter::write_ops, this);
  return 0;
}

int RecordWriter::put(const void* p, long n)
{
  const unsigned char* q = static_cast<const unsigned char*>(p);
  while (n > 0) {
    if (used == CHUNK && hand_off() < 0)
      return -1;
    const long k = n < CHUNK - used ? n : CHUNK - used;
    memcpy(chunks[cur] + used, q, static_cast<size_t>(k));
    used += k;
    q += k;
    n -= k;
  }
  return err ? -1 : 0;
}

// The bytes may begin in a chunk already handed off and end in this one.
void RecordWriter::patch(long at, const unsigned char* b, int n)
{
  const int before = at >= cur_at ? 0 : cur_at - at < n ? static_cast<int>(cur_at - at) : n;
  if (before) {
    Op op = {PATCH, at, before, {}};
    memcpy(op.bytes, b, static_cast<size_t>(before));
    queue(op);
  }
  if (n > before)
    memcpy(chunks[cur] + (at + before - cur_at), b + before, static_cast<size_t>(n - before));
}

void RecordWriter::cut(long at)
{
  if (at >= cur_at) {
    used = at - cur_at;
    return;
  }
  queue({CUT, at, 0, {}});
  cur_at = at;
  used = 0;
}

int RecordWriter::close()
{
  if (fd >= 0) {
    if (used)
      queue({cur, cur_at, used, {}});
    {
      std::lock_guard<std::mutex> l(m);
      closing = true;
    }
    work.notify_one();
    writer.join();
    if (direct_fd >= 0)
      ::close(direct_fd);
    // A file system that writes late (NFS) tells of a failed write here.
    if (::close(fd) < 0 && !err)
      err = errno;
  }
  fd = direct_fd = -1;
  for (unsigned char* c : chunks)
    free(c);
  chunks.clear();
  spare.clear();
  ops.clear();
  return err;
}

void RecordWriter::queue(const Op& op)
{
  {
    std::lock_guard<std::mutex> l(m);
    ops.push_back(op);
  }
  work.notify_one();
}

// The full chunk goes to the writer; the next one is the first free.
int RecordWriter::hand_off()
{
  queue({cur, cur_at, used, {}});
  cur_at += used;
  used = 0;
  std::unique_lock<std::mutex> l(m);
  room.wait(l, [this] { return !spare.empty(); });
  cur = spare.back();
  spare.pop_back();
  return err ? -1 : 0;
}

void RecordWriter::write_ops()
{
  std::unique_lock<std::mutex> l(m);
  for (;;) {
    work.wait(l, [this] { return closing || !ops.empty(); });
    if (ops.empty())
      return;
    const Op op = ops.front();
    ops.pop_front();
    l.unlock();
    int e = err;
    if (!e && op.chunk >= 0)
      e = write_chunk(chunks[op.chunk], op.n, op.at) < 0 ? errno : 0;
    else if (!e && op.chunk == PATCH)
      e = write_at(op.bytes, op.n, op.at) < 0 ? errno : 0;
    else if (!e)
      e = ftruncate(fd, op.at) < 0 ? errno : 0;
    l.lock();
    done(op, e);
  }
}

// Called with the lock held.
void RecordWriter::done(const Op& op, int e)
{
  if (e && !err)
    err = e;
  if (op.chunk >= 0) {
    spare.push_back(op.chunk);
    room.notify_one();
  }
}

// The aligned part of a chunk past the page cache, when it can go there;
// the rest through it (a chunk is aligned unless a cut moved it).
int RecordWriter::write_chunk(const unsigned char* p, long n, long at)
{
  const long whole = at % ALIGN == 0 ? n / ALIGN * ALIGN : 0;
  ssize_t r = direct_fd >= 0 && whole ? pwrite(direct_fd, p, static_cast<size_t>(whole), at) : 0;
  if (r < 0 && errno != EINVAL)
    return -1;
  r = r < 0 ? 0 : r;
  return write_at(p + r, n - r, at + r);
}

// A write that takes nothing has found the file system full.
int RecordWriter::write_at(const void* p, long n, long at)
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

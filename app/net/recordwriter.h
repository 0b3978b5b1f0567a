// The writing of a recording: bytes gather in chunks that a thread of
// their own writes to the file, in order, so that the stream waits for the
// disk only when the disk falls behind by all the chunks. Whole chunks go
// past the page cache where the file system allows it: a copy fewer, and
// no writeback that takes a core of its own.
#ifndef RECORDWRITER_H
#define RECORDWRITER_H

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

class RecordWriter {
public:
  RecordWriter();
  ~RecordWriter();  // closes a file still open
  RecordWriter(const RecordWriter&) = delete;
  RecordWriter& operator=(const RecordWriter&) = delete;

  // Makes file anew, empty; -1 with errno set.
  int open(const char* file);
  // Appends n bytes; -1 once a write has failed.
  int put(const void* p, long n);
  // Sets the n bytes (at most 4) at file offset at, already put.
  void patch(long at, const unsigned char* b, int n);
  // Cuts off what was put from file offset at on.
  void cut(long at);
  // Writes what is left and closes the file: 0, or the errno of the first
  // failure.
  int close();
  // The errno of a failed write, else 0.
  int failed() const { return err.load(); }
  // Bytes put so far (after cuts), the file's size to be.
  long size() const { return cur_at + used; }
  bool is_open() const { return fd >= 0; }

private:
  struct Op {
    int chunk;  // the chunk to write, or PATCH, or CUT
    long at;
    long n;
    unsigned char bytes[4];  // a patch's
  };
  void queue(const Op& op);
  int hand_off();
  void write_ops();
  int write_at(const void* p, long n, long at);
  int write_chunk(const unsigned char* p, long n, long at);
  void done(const Op& op, int e);

  int fd;
  int direct_fd;  // the same file past the page cache, or -1
  std::vector<unsigned char*> chunks;
  int cur;      // the chunk being filled
  long used;    // bytes in it
  long cur_at;  // its place in the file
  std::mutex m;
  std::condition_variable work;  // an op queued, or closing
  std::condition_variable room;  // a chunk free
  std::deque<Op> ops;
  std::vector<int> spare;  // chunks free
  bool closing;
  std::atomic<int> err;
  std::thread writer;
};

#endif

// libFuzzer target for the request decoder (scripts/fuzz builds and runs
// it). Each input is a client's stream, decoded three ways: in one piece,
// byte by byte, and in reads of pseudo-random lengths straight into the
// decoder's buffers as the server reads them. All three must report the
// same requests, with the same plane bytes, and the same failures and
// messages; no request may carry a size the limits refuse.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "net/decoder.h"
#include "net/protocol.h"

namespace {

// Planes up to this size are held; a larger one is refused as an
// allocation that cannot be met would be.
const int HELD_MAX = 1 << 16;

void require(bool ok)
{
  if (!ok)
    abort();
}

class Record : public RequestSink {
public:
  unsigned char* plane_buffer(int plane, int size) override
  {
    require(valid_frame_size(size) && plane >= PLANE_RED && plane <= PLANE_CVEC);
    if (size > HELD_MAX)
      return nullptr;
    planes[plane].resize(size > 0 ? static_cast<size_t>(size) : 1);
    return planes[plane].data();
  }
  int resize_image(int w, int h) override
  {
    require(valid_image_size(w, h));
    log += "resize " + std::to_string(w) + " " + std::to_string(h) + "\n";
    return 0;
  }
  int update_colrgb(int size) override
  {
    require(valid_frame_size(size));
    log += "rgb " + std::to_string(size) + " " + digest(PLANE_RED, size) + " " +
           digest(PLANE_GREEN, size) + " " + digest(PLANE_BLUE, size) + "\n";
    return 0;
  }
  int update_colmap(int size) override
  {
    require(valid_frame_size(size));
    log += "map " + std::to_string(size) + " " + digest(PLANE_CVEC, size) + "\n";
    return 0;
  }
  void disconnect_request() override { log += "disconnect\n"; }
  unsigned char* sample_buffer(long bytes) override
  {
    require(bytes > 0 && bytes <= RAVLON_MAX_SAMPLE_BYTES);
    if (bytes > HELD_MAX)
      return nullptr;
    samples.resize(static_cast<size_t>(bytes));
    return samples.data();
  }
  // Fewer bytes than the frame's, all of them in the room given.
  void frame_arriving(int w, int h, int format, long bytes) override
  {
    const long n = ravlon_sample_bytes(w, h, format);
    require(n > 0 && bytes > 0 && bytes < n && static_cast<size_t>(n) == samples.size());
  }
  int update_frame(int w, int h, int format) override
  {
    const long n = ravlon_sample_bytes(w, h, format);
    require(n > 0 && static_cast<size_t>(n) == samples.size());
    log += "frame " + std::to_string(w) + " " + std::to_string(h) + " " + std::to_string(format) +
           " " + digest(samples, samples.size()) + "\n";
    return 0;
  }
  // Regions starting at an odd x are refused, their samples skipped.
  const char* check_region(int x, int, int w, int h, int format) override
  {
    require(ravlon_sample_bytes(w, h, format) > 0);
    return x % 2 ? "refused region" : nullptr;
  }
  int update_region(int x, int y, int w, int h) override
  {
    log += "region " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(w) + " " +
           std::to_string(h) + " " + digest(samples, samples.size()) + "\n";
    return 0;
  }
  int update_view(const ViewRequest& v) override
  {
    require(v.scale >= 0 && v.scale <= RAVLON_SCALE_ASINH && v.rule >= 0 &&
            v.rule <= RAVLON_LIMITS_ZSCALE);
    log += "view " + std::to_string(v.map) + " " + std::to_string(v.flags) + "\n";
    return 0;
  }
  void refuse_request(const char* msg) override { log += std::string("refused ") + msg + "\n"; }
  void fail_request(const char* msg) override { log += std::string("failed ") + msg + "\n"; }

  std::string log;

private:
  // FNV-1a of the plane's bytes.
  std::string digest(int plane, int size)
  {
    return digest(planes[plane], static_cast<size_t>(size));
  }
  std::string digest(const std::vector<unsigned char>& v, size_t size)
  {
    require(v.size() >= size);
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < size; i++)
      h = (h ^ v[i]) * 16777619u;
    return std::to_string(h);
  }

  std::vector<unsigned char> planes[4];
  std::vector<unsigned char> samples;
};

// What a stream that ends after the input reports.
std::string finish(Record& r, const Decoder& d)
{
  if (!d.idle() && d.cut_message())
    r.log += std::string("cut ") + d.cut_message() + "\n";
  return r.log;
}

// The stream fed in pieces of chunk bytes. In pieces of one byte, bytes
// after a failure or the disconnect are offered too: they must be refused
// without a report.
std::string in_pieces(const uint8_t* data, size_t n, size_t chunk)
{
  Record r;
  Decoder d(&r);
  for (size_t i = 0; i < n; i += chunk)
    d.feed(data + i, static_cast<int>(n - i < chunk ? n - i : chunk));
  return finish(r, d);
}

std::string in_reads(const uint8_t* data, size_t n)
{
  Record r;
  Decoder d(&r);
  uint32_t seed = 2166136261u;
  for (size_t i = 0; i < n; i++)
    seed = (seed ^ data[i]) * 16777619u;
  size_t at = 0;
  while (at < n) {
    unsigned char* dst = nullptr;
    int room = d.next(dst);
    if (room == 0)
      break;
    seed ^= seed << 13, seed ^= seed >> 17, seed ^= seed << 5;
    size_t want = seed % 4 == 0 ? n : seed % 9 + 1;
    size_t k = want < n - at ? want : n - at;
    if (k > static_cast<size_t>(room))
      k = static_cast<size_t>(room);
    for (size_t j = 0; j < k; j++)
      dst[j] = data[at + j];
    at += k;
    d.arrived(static_cast<int>(k));
  }
  return finish(r, d);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  const std::string whole = in_pieces(data, size, size);
  require(in_pieces(data, size, 1) == whole);
  require(in_reads(data, size) == whole);
  return 0;
}

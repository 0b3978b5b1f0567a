// Byte reversal, path splitting and heap strings.
#include "EEtc.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

// Only the low four bytes take part: long is wider than 32 bits here, and a
// sign-extended result makes a second swap give back any 32-bit value.
long swap4(long l)
{
  uint32_t u = static_cast<uint32_t>(l);
  u = (u >> 24) | ((u >> 8) & 0xff00u) | ((u << 8) & 0xff0000u) | (u << 24);
  return static_cast<int32_t>(u);
}

double swap8(double d)
{
  unsigned char b[sizeof d];
  std::memcpy(b, &d, sizeof d);
  for (unsigned i = 0; i < sizeof d / 2; i++) {
    unsigned char c = b[i];
    b[i] = b[sizeof d - 1 - i];
    b[sizeof d - 1 - i] = c;
  }
  std::memcpy(&d, b, sizeof d);
  return d;
}

// Callers hand buffers of 512 bytes; copies are cut to fit them.
static const size_t PATHBUF = 512;

static void copy_bounded(char* dst, const char* src, size_t n)
{
  size_t len = strnlen(src, n);
  if (len >= PATHBUF)
    len = PATHBUF - 1;
  std::memcpy(dst, src, len);
  dst[len] = 0;
}

void get_dirname(const char* p, char* d)
{
  if (p[0] != '/') {
    std::strcpy(d, ".");
    return;
  }
  std::memset(d, 0, PATHBUF);
  copy_bounded(d, p, PATHBUF);
  *std::strrchr(d, '/') = 0;
}

void get_filename(const char* p, char* f)
{
  if (p[0] != '/') {
    copy_bounded(f, p, PATHBUF);
    return;
  }
  std::memset(f, 0, PATHBUF);
  const char* s = std::strrchr(p, '/') + 1;
  size_t room = (s - p < static_cast<long>(PATHBUF)) ? PATHBUF - (s - p) : 0;
  copy_bounded(f, s, room);
}

char* strnew(const char* s)
{
  size_t n = std::strlen(s) + 1;
  char* r = new char[n];
  std::memcpy(r, s, n);
  return r;
}

namespace efd {

// Fixed-width parse: literals in the format are skipped in the text by count,
// never compared. Every step is cut at the end of the text, so trailing
// literals consume at most what is left.
const char* strptime(const char* t, const char* fmt, tm* ts)
{
  std::memset(ts, 0, sizeof *ts);
  const size_t tlen = std::strlen(t);
  size_t j = 0;
  auto skip = [&](size_t n) { j = (n < tlen - j) ? j + n : tlen; };
  // A field with no text left is not reached: it keeps its 0.
  auto field = [&](int& dst, size_t width, int offset) {
    char num[8];
    size_t n = (width < tlen - j) ? width : tlen - j;
    if (n == 0)
      return;
    std::memcpy(num, t + j, n);
    num[n] = 0;
    j += n;
    dst = std::atoi(num) + offset;
  };
  for (const char* f = fmt; *f;) {
    const char* pct = std::strchr(f, '%');
    if (!pct) {
      skip(std::strlen(f));
      break;
    }
    skip(pct - f);
    char conv = pct[1];
    f = conv ? pct + 2 : pct + 1;
    switch (conv) {
      case '%': skip(1); continue;
      case 'H': field(ts->tm_hour, 2, 0); continue;
      case 'M': field(ts->tm_min, 2, 0); continue;
      case 'd': field(ts->tm_mday, 2, 0); continue;
      case 'm': field(ts->tm_mon, 2, -1); continue;
      case 'Y': field(ts->tm_year, 4, -1900); continue;
      case 'y': field(ts->tm_year, 2, 0); continue;
      default: return t + j;
    }
  }
  return t + j;
}

}  // namespace efd

EEnvironment::EEnvironment(const char* nm) : name(strnew(nm)), value(0)
{
  const char* v = std::getenv(nm);
  if (v)
    value = strnew(v);
}

EEnvironment::~EEnvironment()
{
  delete[] name;
  delete[] value;
}

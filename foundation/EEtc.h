// Small utilities: byte reversal, path splitting, heap strings, a fixed-width
// date parser and an environment-variable holder.
#ifndef EETC_H
#define EETC_H

#include <ctime>

inline short swap2(short s)
{
  unsigned short u = static_cast<unsigned short>(s);
  return static_cast<short>(((u & 0xff) << 8) | (u >> 8));
}
// Reverses the four low bytes; the result is the 32-bit value sign-extended.
long swap4(long l);
double swap8(double d);

void get_dirname(const char* p, char* d);
void get_filename(const char* p, char* f);
char* strnew(const char* s);

// Kept in a namespace of its own so that it never hides the C library's
// strptime from code that includes this header.
namespace efd {
const char* strptime(const char* t, const char* fmt, tm* ts);
}

class EEnvironment {
public:
  explicit EEnvironment(const char* nm);
  ~EEnvironment();
  EEnvironment(const EEnvironment&) = delete;
  EEnvironment& operator=(const EEnvironment&) = delete;

  char* name;
  char* value;  // null when the variable is not set
};

#endif

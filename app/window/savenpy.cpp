// The .npy file: a magic string, the version, a header that describes the
// array as a Python dict, and the values row by row.
#include "window/savenpy.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "render/samples.h"
#include "window/datarows.h"
#include "window/replacefile.h"

namespace {

// numpy's dtype of the values: byte order, kind and size, as "<u2".
std::string dtype(const DataRows& d)
{
  const char kind = !integer_format(d.type)                       ? 'f'
                    : d.type == RAVLON_U8 || d.type == RAVLON_U16 ? 'u'
                                                                  : 'i';
  const char order = d.sample_bytes == 1 ? '|' : d.big_endian ? '>' : '<';
  return std::string{order, kind} + std::to_string(d.sample_bytes);
}

// The header, padded with spaces and a newline so that the values start
// at a multiple of 64 bytes, as numpy aligns them.
std::string header(const DataRows& d)
{
  std::string h = "{'descr': '" + dtype(d) + "', 'fortran_order': False, 'shape': (" +
                  std::to_string(d.height) + ", " + std::to_string(d.width) +
                  (d.channels == 3 ? ", 3" : "") + "), }";
  const size_t lead = 10;  // magic, version, header length
  h.append(63 - (lead + h.size()) % 64, ' ');
  h += '\n';
  const size_t n = h.size();
  return std::string("\x93NUMPY\x01\x00", 8) + static_cast<char>(n & 0xff) +
         static_cast<char>(n >> 8) + h;
}

class NpyContent : public FileContent {
public:
  explicit NpyContent(const DataRows& d_) : d(d_) {}
  int write_to(FILE* out, char* why, size_t whylen) override
  {
    const std::string h = header(d);
    std::vector<unsigned char> row(static_cast<size_t>(d.row_bytes()));
    bool ok = fwrite(h.data(), 1, h.size(), out) == h.size();
    for (int y = 0; ok && y < d.height; y++) {
      d.row(y, row.data());
      ok = fwrite(row.data(), 1, row.size(), out) == row.size();
    }
    if (!ok)
      snprintf(why, whylen, "%s", strerror(errno));
    return ok ? 0 : -1;
  }

private:
  const DataRows& d;
};

}  // namespace

int write_npy(const char* file, const DataRows& d, char* why, size_t whylen)
{
  NpyContent content(d);
  return replace_file(file, content, why, whylen);
}

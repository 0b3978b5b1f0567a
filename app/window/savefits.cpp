// The FITS file is made in memory by cfitsio, which writes only to files
// it opens itself, and then written out whole.
#include "window/savefits.h"

#include <fitsio.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "render/samples.h"
#include "window/datarows.h"
#include "window/replacefile.h"

namespace {

// cfitsio's image and value types for each of ours, by RAVLON_U8 ...
// RAVLON_F64.
struct FitsType {
  int bitpix;
  int datatype;
};
const FitsType FITS_TYPES[] = {
    {BYTE_IMG, TBYTE}, {USHORT_IMG, TUSHORT}, {SHORT_IMG, TSHORT},
    {LONG_IMG, TINT},  {FLOAT_IMG, TFLOAT},   {DOUBLE_IMG, TDOUBLE},
};

bool host_big_endian()
{
  const unsigned short one = 1;
  unsigned char first;
  memcpy(&first, &one, 1);
  return first == 0;
}

// Channel c of a row of values, in this machine's byte order, into out.
void native_channel(const DataRows& d, const unsigned char* row, int c, unsigned char* out)
{
  const int n = d.sample_bytes, step = n * d.channels;
  const bool swap = n > 1 && d.big_endian != host_big_endian();
  for (long x = 0; x < d.width; x++)
    for (int b = 0; b < n; b++)
      out[x * n + b] = row[x * step + c * n + (swap ? n - 1 - b : b)];
}

int write_image(fitsfile* f, const DataRows& d, int& status)
{
  const FitsType t = FITS_TYPES[d.type - RAVLON_U8];
  long axes[3] = {d.width, d.height, 3};
  fits_create_img(f, t.bitpix, d.channels == 3 ? 3 : 2, axes, &status);
  std::vector<unsigned char> row(static_cast<size_t>(d.row_bytes()));
  std::vector<unsigned char> values(static_cast<size_t>(d.width) * d.sample_bytes);
  const LONGLONG plane = static_cast<LONGLONG>(d.width) * d.height;
  for (int y = 0; y < d.height && status == 0; y++) {
    d.row(y, row.data());
    const LONGLONG first = static_cast<LONGLONG>(d.height - 1 - y) * d.width + 1;
    for (int c = 0; c < d.channels; c++) {
      native_channel(d, row.data(), c, values.data());
      fits_write_img(f, t.datatype, first + c * plane, d.width, values.data(), &status);
    }
  }
  return status;
}

class FitsContent : public FileContent {
public:
  explicit FitsContent(const DataRows& d_) : d(d_) {}
  int write_to(FILE* out, char* why, size_t whylen) override
  {
    void* mem = nullptr;
    size_t memsize = 0;
    fitsfile* f = nullptr;
    int status = 0;
    LONGLONG head = 0, data = 0, end = 0;
    fits_create_memfile(&f, &mem, &memsize, 2880, realloc, &status);
    if (status == 0 && write_image(f, d, status) == 0)
      fits_get_hduaddrll(f, &head, &data, &end, &status);
    if (f)
      fits_close_file(f, &status);  // closed whatever the status
    int r = 0;
    if (status != 0) {
      char text[FLEN_STATUS] = "";
      fits_get_errstatus(status, text);
      snprintf(why, whylen, "%s", text);
      r = -1;
    } else if (fwrite(mem, 1, static_cast<size_t>(end), out) != static_cast<size_t>(end)) {
      snprintf(why, whylen, "%s", strerror(errno));
      r = -1;
    }
    free(mem);
    return r;
  }

private:
  const DataRows& d;
};

}  // namespace

int write_fits(const char* file, const DataRows& d, char* why, size_t whylen)
{
  FitsContent content(d);
  return replace_file(file, content, why, whylen);
}

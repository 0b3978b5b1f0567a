// The PNG writer: one RGB row at a time from the column-major planes.
#include "window/savepng.h"

#include "window/replacefile.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// libpng's message, kept for the caller; libpng then jumps back.
struct PngErr {
  char* why;
  size_t len;
};

void png_fail(png_structp png, png_const_charp msg)
{
  PngErr* e = static_cast<PngErr*>(png_get_error_ptr(png));
  snprintf(e->why, e->len, "%s", msg);
  png_longjmp(png, 1);
}

void png_warn(png_structp, png_const_charp) {}

void fill_row(const PngFrame& f, int y, unsigned char* row)
{
  const long n = f.size < 0 ? 0 : f.size;
  for (long x = 0; x < f.width; x++, row += 3) {
    const long i = x * f.height + y;
    if (i >= n) {
      row[0] = row[1] = row[2] = 0;
    } else if (f.nplanes == 3) {
      row[0] = f.planes[0][i];
      row[1] = f.planes[1][i];
      row[2] = f.planes[2][i];
    } else {
      memcpy(row, f.colours[f.planes[0][i]], 3);
    }
  }
}

// Only plain data lives in this frame: libpng leaves it by longjmp.
int encode(FILE* out, const PngFrame& f, unsigned char* row, PngErr& err)
{
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &err, png_fail, png_warn);
  if (!png) {
    snprintf(err.why, err.len, "%s", strerror(ENOMEM));
    return -1;
  }
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    if (!info)
      snprintf(err.why, err.len, "%s", strerror(ENOMEM));
    png_destroy_write_struct(&png, &info);
    return -1;
  }
  png_init_io(png, out);
  png_set_IHDR(png, info, static_cast<png_uint_32>(f.width), static_cast<png_uint_32>(f.height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < f.height; y++) {
    fill_row(f, y, row);
    png_write_row(png, row);
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return 0;
}

// The PNG, a row at a time.
class PngContent : public FileContent {
public:
  explicit PngContent(const PngFrame& f_) : f(f_) {}
  int write_to(FILE* out, char* why, size_t whylen) override
  {
    std::vector<unsigned char> row(static_cast<size_t>(f.width) * 3);
    PngErr err = {why, whylen};
    return encode(out, f, row.data(), err);
  }

private:
  const PngFrame& f;
};

}  // namespace

int write_png(const char* file, const PngFrame& f, char* why, size_t whylen)
{
  PngContent content(f);
  return replace_file(file, content, why, whylen);
}

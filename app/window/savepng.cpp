// The PNG writer: one RGB row at a time from the column-major planes.
#include "window/savepng.h"

#include <sys/stat.h>
#include <unistd.h>

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
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

// A new file gets the mode the user's umask gives, as any file they make.
void usual_mode(int fd)
{
  mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
}

}  // namespace

int write_png(const char* file, const PngFrame& f, char* why, size_t whylen)
{
  std::vector<char> tmp(strlen(file) + 8);
  snprintf(tmp.data(), tmp.size(), "%s.XXXXXX", file);
  std::vector<unsigned char> row(static_cast<size_t>(f.width) * 3);
  int fd = mkstemp(tmp.data());
  FILE* out = fd < 0 ? nullptr : fdopen(fd, "wb");
  if (!out) {
    snprintf(why, whylen, "%s", strerror(errno));
    if (fd >= 0) {
      close(fd);
      unlink(tmp.data());
    }
    return -1;
  }
  usual_mode(fd);
  PngErr err = {why, whylen};
  int r = encode(out, f, row.data(), err);
  // A full disk may show only when the last bytes are flushed.
  if (fflush(out) != 0 && r == 0) {
    snprintf(why, whylen, "%s", strerror(errno));
    r = -1;
  }
  if (fclose(out) != 0 && r == 0) {
    snprintf(why, whylen, "%s", strerror(errno));
    r = -1;
  }
  if (r == 0 && rename(tmp.data(), file) != 0) {
    snprintf(why, whylen, "%s", strerror(errno));
    r = -1;
  }
  if (r != 0)
    unlink(tmp.data());
  return r;
}

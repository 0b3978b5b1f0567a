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
#include <string>
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

// A file replaced keeps its mode (and its owner, where we may give it);
// a new one gets what the user's umask gives, as any file they make.
int take_mode(int fd, const char* target)
{
  struct stat st;
  if (stat(target, &st) == 0)
    return fchmod(fd, st.st_mode & 07777) | fchown(fd, st.st_uid, st.st_gid);
  mode_t mask = umask(0);
  umask(mask);
  return fchmod(fd, 0666 & ~mask);
}

// Where the picture goes: a symbolic link's target, so that the link stays
// a link; else the name itself. -1 with errno for a link to nowhere.
int resolve_target(const char* file, std::string& target)
{
  struct stat st;
  if (lstat(file, &st) != 0 || !S_ISLNK(st.st_mode)) {
    target = file;
    return 0;
  }
  char* real = realpath(file, nullptr);
  if (!real)
    return -1;
  target = real;
  free(real);
  return 0;
}

// The temporary file beside the target, under a short name, so that a
// name up to the system's limit can be written.
std::string temp_beside(const std::string& target)
{
  const size_t slash = target.rfind('/');
  return (slash == std::string::npos ? "./" : target.substr(0, slash + 1)) + ".ravlon-XXXXXX";
}

// The bytes reach the disk before the rename makes them the file: a crash
// then leaves the old file or the new one, never an empty one.
int finish(FILE* out, int r, char* why, size_t whylen)
{
  const bool flushed = fflush(out) == 0 && fsync(fileno(out)) == 0;
  if (!flushed && r == 0) {
    snprintf(why, whylen, "%s", strerror(errno));
    r = -1;
  }
  if (fclose(out) != 0 && r == 0) {
    snprintf(why, whylen, "%s", strerror(errno));
    r = -1;
  }
  return r;
}

}  // namespace

int write_png(const char* file, const PngFrame& f, char* why, size_t whylen)
{
  std::string target;
  if (resolve_target(file, target) < 0) {
    snprintf(why, whylen, "%s", strerror(errno));
    return -1;
  }
  std::string tmp = temp_beside(target);
  std::vector<unsigned char> row(static_cast<size_t>(f.width) * 3);
  int fd = mkstemp(&tmp[0]);
  FILE* out = fd < 0 ? nullptr : fdopen(fd, "wb");
  if (!out) {
    snprintf(why, whylen, "%s", strerror(errno));
    if (fd >= 0) {
      close(fd);
      unlink(tmp.c_str());
    }
    return -1;
  }
  take_mode(fd, target.c_str());
  PngErr err = {why, whylen};
  int r = finish(out, encode(out, f, row.data(), err), why, whylen);
  if (r == 0 && rename(tmp.c_str(), target.c_str()) != 0) {
    snprintf(why, whylen, "%s", strerror(errno));
    r = -1;
  }
  if (r != 0)
    unlink(tmp.c_str());
  return r;
}

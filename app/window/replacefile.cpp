// The temporary file, its mode, the flush to the disk and the rename.
#include "window/replacefile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

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

// Where the bytes go: a symbolic link's target, so that the link stays a
// link; else the name itself. -1 with errno for a link to nowhere.
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

int replace_file(const char* file, FileContent& content, char* why, size_t whylen)
{
  std::string target;
  if (resolve_target(file, target) < 0) {
    snprintf(why, whylen, "%s", strerror(errno));
    return -1;
  }
  std::string tmp = temp_beside(target);
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
  int r = finish(out, content.write_to(out, why, whylen), why, whylen);
  if (r == 0 && rename(tmp.c_str(), target.c_str()) != 0) {
    snprintf(why, whylen, "%s", strerror(errno));
    r = -1;
  }
  if (r != 0)
    unlink(tmp.c_str());
  return r;
}

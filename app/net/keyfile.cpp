// The key file: read, or made once with a random key.
#include "net/keyfile.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "base/resources.h"

const char* key_file_resource(Widget appshell)
{
  return string_resource(appshell, "keyFile", "KeyFile");
}

namespace {

int random_key(unsigned char key[RAVLON_KEY_BYTES])
{
  ssize_t r;
  do
    r = getrandom(key, RAVLON_KEY_BYTES, 0);
  while (r < 0 && errno == EINTR);
  return r == RAVLON_KEY_BYTES ? 0 : -1;
}

// O_EXCL: a file that another process made meanwhile, or a link someone
// planted, is never written through. The mode is set whatever the umask.
int make_key(const char* path, unsigned char key[RAVLON_KEY_BYTES])
{
  int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0)
    return -1;
  int r = random_key(key) == 0 && fchmod(fd, 0600) == 0 &&
                  write(fd, key, RAVLON_KEY_BYTES) == RAVLON_KEY_BYTES
              ? 0
              : -1;
  if (close(fd) < 0)
    r = -1;
  if (r < 0)
    unlink(path);
  return r;
}

}  // namespace

int load_key(const char* path, unsigned char key[RAVLON_KEY_BYTES], char* msg, size_t len)
{
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) {
    if (make_key(path, key) == 0)
      return 0;
    snprintf(msg, len, "Cannot create key file %.440s.", path);
    return -1;
  }
  // A regular file gives what it holds in one read.
  const int r = fd >= 0 && read(fd, key, RAVLON_KEY_BYTES) == RAVLON_KEY_BYTES ? 0 : -1;
  if (fd >= 0)
    close(fd);
  if (r < 0)
    snprintf(msg, len, "Cannot read key file %.440s.", path);
  return r;
}

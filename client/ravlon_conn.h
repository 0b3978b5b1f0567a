/* The connection as the C library's sources share it; not part of the
 * installed interface. */
#ifndef RAVLON_CONN_H
#define RAVLON_CONN_H

#include <stddef.h>
#include <sys/uio.h>

#include "ravlon_protocol.h"

struct ravlon {
  int fd;
  int width; /* the size last sent, 0 x 0 before any */
  int height;
  int format;            /* the last typed frame's sample format, 0 when the frame is none */
  unsigned char *planes; /* the planes show_gray fills */
  size_t planes_cap;
};

/* Every failure sets errno to err and leaves its message; returns -1. */
int ravlon_fail(int err, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
int ravlon_no_handle(void);
int ravlon_bad_size(int width, int height);
/* The iovecs' bytes, all of them, in as few writes as the system takes. */
int ravlon_send_all(struct ravlon *rv, struct iovec *iov, int n);
/* A row-major image's arguments hold: pixels, its size, rows at least
 * width * depth bytes apart. */
int ravlon_check_image(const struct ravlon *rv, const void *pixels, int width, int height,
                       size_t stride, size_t depth);
/* A handle for the connected socket fd, which it then owns, having first
 * sent key in the key request when key is not NULL. NULL on failure, fd
 * closed. */
struct ravlon *ravlon_adopt(int fd, const unsigned char key[RAVLON_KEY_BYTES]);
/* A request header grows by one integer, most significant byte first. */
unsigned char *ravlon_put_int(unsigned char *p, int v);

#endif

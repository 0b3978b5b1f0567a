/* What the connection code shares with the rest of the C library; not
 * part of the installed interface. */
#ifndef RAVLON_INTERNAL_H
#define RAVLON_INTERNAL_H

#include "ravlon_protocol.h"

struct ravlon;

/* Sets errno to err and the message ravlon_errmsg() returns; -1. */
int ravlon_fail(int err, const char *fmt, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

/* A handle for the connected socket fd, which it then owns, having first
 * sent key in the key request when key is not NULL. NULL on failure, fd
 * closed. */
struct ravlon *ravlon_adopt(int fd, const unsigned char key[RAVLON_KEY_BYTES]);

#endif

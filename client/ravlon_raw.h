/* What the C++ client's raw request pieces need of a connection; not part
 * of the installed interface. It names the connection by its struct so
 * that the library's own source can include it without a circle. */
#ifndef RAVLON_RAW_H
#define RAVLON_RAW_H

#include <stddef.h>

struct ravlon;

#ifdef __cplusplus
extern "C" {
#endif

/* n bytes as they are, all of them (0, or -1 with errno). */
int ravlon_put(struct ravlon *rv, const void *bytes, size_t n);
/* The connection's socket descriptor, -1 for NULL. */
int ravlon_socket(const struct ravlon *rv);

#ifdef __cplusplus
}
#endif

#endif

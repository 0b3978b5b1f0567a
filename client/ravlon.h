/* The C interface to ravlon, the image display server: one connection
 * (TCP, or the local socket on ravlon's own host) over which a program
 * sends the picture's size and its frames. The server never answers.
 * Every call that sends returns 0 once all its bytes were
 * handed to the system, or -1 with errno set and a message for
 * ravlon_errmsg(); a call with bad arguments fails with EINVAL and sends
 * nothing. One handle belongs to one thread at a time. See ravlon_connect(3).
 *
 * C99; usable from C++ (the declarations have C linkage) and from Fortran
 * through iso_c_binding. */
#ifndef RAVLON_H
#define RAVLON_H

#include <stddef.h>

#include "ravlon_protocol.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct ravlon ravlon;

/* Connects to ravlon on host and port. host is a name, an IPv4 or an IPv6
 * address, tried over TCP at each address it resolves to in turn; when it
 * is NULL, "", "localhost" or this host's own name, ravlon's local socket
 * RAVLON_UNIX_DIR/port is tried first, when there is one. "unix:PATH"
 * connects to the Unix socket PATH (port unused; "unix:" alone to the
 * port's local socket), "tcp:HOST" over TCP only ("tcp:" alone to this
 * host's name). When $RAVLON_KEYFILE names a file, its key is sent first,
 * as ravlon_connect_keyfile() sends it. NULL on failure, with errno set
 * (EHOSTUNREACH for a host that does not resolve, ECONNREFUSED when
 * nothing listens, ENOENT for a socket or key file that is not there,
 * EINVAL for a port outside 1-65535 or a key file shorter than a key). */
ravlon *ravlon_connect(const char *host, int port);
/* Likewise, with the key from the file at keyfile (its first
 * RAVLON_KEY_BYTES bytes) rather than $RAVLON_KEYFILE's; NULL for none. */
ravlon *ravlon_connect_keyfile(const char *host, int port, const char *keyfile);

/* The next frames are width x height pixels (1 to RAVLON_MAX_IMAGE_SIDE). */
int ravlon_resize(ravlon *rv, int width, int height);

/* One frame in the wire's layout: size bytes per plane (0 to
 * RAVLON_MAX_FRAME_SIZE), column by column, the byte of pixel (x, y) at
 * x * height + y. RGB takes three planes; colmap takes indices into the
 * server's colour file (or X pixel values when it has none). */
int ravlon_send_rgb(ravlon *rv, const unsigned char *r, const unsigned char *g,
                    const unsigned char *b, int size);
int ravlon_send_colmap(ravlon *rv, const unsigned char *cvec, int size);

/* One frame from a row-major image of width x height pixels whose rows
 * start stride_bytes apart: interleaved 8-bit RGB (3 bytes a pixel) or grey
 * levels (1 byte a pixel). RGB goes as a typed frame, row by row as it
 * lies in memory. Grey goes as an RGB frame in planes, resized first when
 * the size differs from the last one sent; its plane is kept in the
 * handle: after the first frame of a size, showing allocates nothing.
 * ENOMEM when it cannot be made. */
int ravlon_show_rgb(ravlon *rv, const unsigned char *pixels, int width, int height,
                    size_t stride_bytes);
int ravlon_show_gray(ravlon *rv, const unsigned char *pixels, int width, int height,
                     size_t stride_bytes);

/* A typed frame: width x height samples of format (RAVLON_RGB, RAVLON_RGBA
 * or a one-channel type RAVLON_U8 to RAVLON_F64, or'ed with
 * RAVLON_BIG_ENDIAN when multi-byte samples are most significant byte
 * first), row by row, top row first, with no gaps. Another size than the
 * picture's resizes it. At most RAVLON_MAX_SAMPLE_BYTES of samples. */
int ravlon_show_frame(ravlon *rv, int width, int height, int format, const void *samples);
/* Replaces the rectangle at (x, y) of the last typed frame with width x
 * height samples of that frame's format; EINVAL for a rectangle outside
 * it, another format, or no typed frame sent on this handle. */
int ravlon_show_region(ravlon *rv, int x, int y, int width, int height, int format,
                       const void *samples);
/* How one-channel frames are shown: a colour map RAVLON_MAP_* (or'ed with
 * RAVLON_MAP_INVERT), a scale RAVLON_SCALE_*, and limits from a rule
 * RAVLON_LIMITS_* (percent, above 50 and up to 100, for
 * RAVLON_LIMITS_PERCENT) unless flags fix vmin (RAVLON_VIEW_VMIN) or vmax
 * (RAVLON_VIEW_VMAX) to finite values. It holds for the frames that follow
 * until the user chooses otherwise in the window or the next view. */
int ravlon_set_view(ravlon *rv, int map, int scale, int rule, int flags, double percent,
                    double vmin, double vmax);

/* Closes the connection and frees the handle (NULL is ignored): ravlon
 * waits for its next client. */
void ravlon_close(ravlon *rv);
/* Ends ravlon (status 0), then closes and frees like ravlon_close; -1 when
 * the request could not be sent, the handle is freed all the same. */
int ravlon_disconnect(ravlon *rv);

/* What the calling thread's last failed call was about, as a line without
 * a trailing newline ("cannot connect to ::1 port 9999: Connection
 * refused"); "" before any failure. Valid until the thread's next call. */
const char *ravlon_errmsg(void);

#ifdef __cplusplus
}
#endif

#endif

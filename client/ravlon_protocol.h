/* Request codes of ravlon's wire protocol and the sizes the server accepts.
 * The server and every client library take them from here (C and C++), so
 * a client refuses exactly what the server would refuse. */
#ifndef RAVLON_PROTOCOL_H
#define RAVLON_PROTOCOL_H

#define RAVLON_REQ_DISCONNECT 1
#define RAVLON_REQ_RESIZE 2
#define RAVLON_REQ_COLRGB 3
#define RAVLON_REQ_COLMAP 4

#define RAVLON_DEFAULT_PORT 9999
#define RAVLON_MAX_IMAGE_SIDE 8192              /* largest width or height */
#define RAVLON_MAX_FRAME_SIZE (64 * 1024 * 1024) /* largest plane or index vector */

static inline int ravlon_valid_image_size(int width, int height)
{
  return width >= 1 && height >= 1 && width <= RAVLON_MAX_IMAGE_SIDE &&
         height <= RAVLON_MAX_IMAGE_SIDE;
}

static inline int ravlon_valid_frame_size(int size)
{
  return size >= 0 && size <= RAVLON_MAX_FRAME_SIZE;
}

#endif

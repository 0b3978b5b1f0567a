// Request codes of the wire protocol and the limits the server enforces.
#ifndef PROTOCOL_H
#define PROTOCOL_H

enum { REQ_DISCONNECT = 1, REQ_RESIZE = 2, REQ_COLRGB = 3, REQ_COLMAP = 4 };

const int MAX_IMAGE_SIDE = 8192;              // largest width or height accepted
const int MAX_FRAME_SIZE = 64 * 1024 * 1024;  // largest plane or index vector
const int STALL_SECONDS = 10;  // a request that makes no progress this long is given up

// The sizes both sides accept: the server refuses others, the client
// library does not send them.
inline bool valid_image_size(int w, int h)
{
  return w >= 1 && h >= 1 && w <= MAX_IMAGE_SIDE && h <= MAX_IMAGE_SIDE;
}
inline bool valid_frame_size(int size)
{
  return size >= 0 && size <= MAX_FRAME_SIZE;
}

#endif

// Request codes of the wire protocol and the limits the server enforces:
// those of the header the client libraries use too, so both sides agree.
#ifndef PROTOCOL_H
#define PROTOCOL_H

#include "../../client/ravlon_protocol.h"

enum {
  REQ_DISCONNECT = RAVLON_REQ_DISCONNECT,
  REQ_RESIZE = RAVLON_REQ_RESIZE,
  REQ_COLRGB = RAVLON_REQ_COLRGB,
  REQ_COLMAP = RAVLON_REQ_COLMAP,
  REQ_KEY = RAVLON_REQ_KEY,
  REQ_FRAME = RAVLON_REQ_FRAME,
  REQ_REGION = RAVLON_REQ_REGION,
  REQ_VIEW = RAVLON_REQ_VIEW
};

const int MAX_IMAGE_SIDE = RAVLON_MAX_IMAGE_SIDE;  // largest width or height accepted
const int MAX_FRAME_SIZE = RAVLON_MAX_FRAME_SIZE;  // largest plane or index vector
const int STALL_SECONDS = 10;  // a request that makes no progress this long is given up

// The sizes both sides accept: the server refuses others, the client
// library does not send them.
inline bool valid_image_size(int w, int h)
{
  return ravlon_valid_image_size(w, h) != 0;
}
inline bool valid_frame_size(int size)
{
  return ravlon_valid_frame_size(size) != 0;
}

#endif

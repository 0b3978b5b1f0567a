"""Request codes of ravlon's wire protocol and the sizes the server accepts.

These must equal client/ravlon_protocol.h; a test compares them, so the Python client
refuses exactly what the server would refuse.
"""

import struct

REQ_DISCONNECT = 1
REQ_RESIZE = 2
REQ_COLRGB = 3
REQ_COLMAP = 4
REQ_FRAME = 6
REQ_REGION = 7

MAX_IMAGE_SIDE = 8192  # largest width or height accepted
MAX_FRAME_SIZE = 64 * 1024 * 1024  # largest plane or index vector

DEFAULT_PORT = 9999

_INTS = {n: struct.Struct(">" + "i" * n) for n in (1, 2, 3)}


def valid_image_size(width, height):
    return 1 <= width <= MAX_IMAGE_SIDE and 1 <= height <= MAX_IMAGE_SIDE


def valid_frame_size(size):
    return 0 <= size <= MAX_FRAME_SIZE


def pack(*ints):
    """A request header: every integer goes out most significant byte first."""
    return _INTS[len(ints)].pack(*ints)

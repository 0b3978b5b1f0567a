"""Request codes of ravlon's wire protocol and the sizes the server accepts.

These must equal client/ravlon_protocol.h; a test compares them, so the Python client
refuses exactly what the server would refuse.
"""

import struct

REQ_DISCONNECT = 1
REQ_RESIZE = 2
REQ_COLRGB = 3
REQ_COLMAP = 4
REQ_KEY = 5  # the key, KEY_BYTES bytes; first of all when ravlon asks for one
REQ_FRAME = 6  # width, height, format, samples row by row
REQ_REGION = 7  # x, y, width, height, format, samples
REQ_VIEW = 8  # map, scale, limits rule, flags, then percent, vmin, vmax as doubles

# A typed frame's sample formats, or'ed with BIG_ENDIAN for multi-byte
# samples most significant byte first.
RGB = 1
RGBA = 2
U8 = 3
U16 = 4
I16 = 5
I32 = 6
F32 = 7
F64 = 8
BIG_ENDIAN = 0x100

# The view request's colour maps (in cmaps.NAMES's order), scales, limit
# rules and flags.
MAP_GRAY = 0
MAP_COOLWARM = 5
MAP_INVERT = 0x100
SCALE_LINEAR = 0
SCALE_SQRT = 1
SCALE_LOG = 2
SCALE_ASINH = 3
LIMITS_MINMAX = 0
LIMITS_PERCENT = 1
LIMITS_ZSCALE = 2
VIEW_VMIN = 1
VIEW_VMAX = 2

MAX_IMAGE_SIDE = 8192  # largest width or height accepted
MAX_FRAME_SIZE = 64 * 1024 * 1024  # largest plane or index vector
MAX_SAMPLE_BYTES = 256 * 1024 * 1024  # largest typed frame or region

DEFAULT_PORT = 9999
KEY_BYTES = 16
UNIX_DIR = "/tmp/.ravlon-unix"  # the local socket of port N is UNIX_DIR/N

_INTS = {n: struct.Struct(">" + "i" * n) for n in range(1, 7)}
_VIEW = struct.Struct(">5i3d")
_PIXEL_BYTES = (0, 3, 4, 1, 2, 2, 4, 4, 8)


def valid_image_size(width, height):
    return 1 <= width <= MAX_IMAGE_SIDE and 1 <= height <= MAX_IMAGE_SIDE


def valid_frame_size(size):
    return 0 <= size <= MAX_FRAME_SIZE


def pack(*ints):
    """A request header: every integer goes out most significant byte first."""
    return _INTS[len(ints)].pack(*ints)


def sample_bytes(width, height, fmt):
    """The bytes of width x height samples of format fmt, or -1 where the
    server would refuse them."""
    kind = fmt & ~BIG_ENDIAN
    if not valid_image_size(width, height) or not 1 <= kind <= F64:
        return -1
    n = width * height * _PIXEL_BYTES[kind]
    return n if n <= MAX_SAMPLE_BYTES else -1


def pack_view(cmap, scale, rule, flags, percent, vmin, vmax):
    """A view request whole: its integers, then its doubles in IEEE 754,
    most significant byte first."""
    return _VIEW.pack(REQ_VIEW, cmap, scale, rule, flags, percent, vmin, vmax)

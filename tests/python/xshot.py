"""Pixels of a window read back from the X server (xwd), as a numpy array
H x W x 3 of the colours the screen shows."""

import struct
import subprocess

import numpy as np

_HEADER = struct.Struct(">25I")
_FIELDS = ("header_size file_version pixmap_format pixmap_depth pixmap_width pixmap_height "
           "xoffset byte_order bitmap_unit bitmap_bit_order bitmap_pad bits_per_pixel "
           "bytes_per_line visual_class red_mask green_mask blue_mask bits_per_rgb "
           "colormap_entries ncolors window_width window_height window_x window_y "
           "window_bdrwidth").split()
_COLOUR = np.dtype([("pixel", ">u4"), ("rgb", ">u2", 3), ("flags", "u1"), ("pad", "u1")])
_TRUE_COLOR, _DIRECT_COLOR = 4, 5


def parse_xwd(data):
    """Decodes a 32-bit-per-pixel ZPixmap dump of a TrueColor or DirectColor
    window; each channel's value goes through the dumped colour map."""
    h = dict(zip(_FIELDS, _HEADER.unpack_from(data)))
    assert h["pixmap_format"] == 2 and h["bits_per_pixel"] == 32, h
    assert h["visual_class"] in (_TRUE_COLOR, _DIRECT_COLOR), h
    colours = np.frombuffer(data, _COLOUR, h["ncolors"], h["header_size"])
    start = h["header_size"] + _COLOUR.itemsize * h["ncolors"]
    height, width = h["pixmap_height"], h["pixmap_width"]
    order = "<" if h["byte_order"] == 0 else ">"
    rows = np.frombuffer(data, np.dtype(order + "u4"), height * h["bytes_per_line"] // 4, start)
    pixels = rows.reshape(height, -1)[:, :width]
    out = np.empty((height, width, 3), np.uint8)
    for c, mask in enumerate((h["red_mask"], h["green_mask"], h["blue_mask"])):
        shift = (mask & -mask).bit_length() - 1
        out[..., c] = colours["rgb"][(pixels & mask) >> shift, c] >> 8
    return out


def grab(window):
    data = subprocess.run(["xwd", "-id", str(window), "-silent"], capture_output=True,
                          check=True).stdout
    return parse_xwd(data)


def descendant_of_size(top, width, height):
    """The deepest window under top of exactly width x height, the upper
    of two at one depth (the picture over a status line of its size), or
    None."""
    tree = subprocess.run(["xwininfo", "-tree", "-id", str(top)], capture_output=True,
                          text=True).stdout
    best, rank = None, (-1, 0)
    for line in tree.splitlines():
        fields = line.split()
        if not fields or not fields[0].startswith("0x"):
            continue
        size = next((f for f in fields if "+" in f and "x" in f.split("+")[0]), None)
        indent = len(line) - len(line.lstrip())
        if size and size.split("+")[0] == f"{width}x{height}":
            here = (indent, -int(size.split("+")[2]))
            if here > rank:
                best, rank = int(fields[0], 16), here
    return best

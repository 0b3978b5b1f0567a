"""The package refuses exactly what the server refuses: its limits are
those of client/ravlon_protocol.h, the header both the server and the C
client take theirs from."""

import math
import os
import re

from ravlon import protocol
from support import SOURCE


def header_constants():
    text = open(os.path.join(SOURCE, "client", "ravlon_protocol.h")).read()
    found = {}
    for name, expr in re.findall(r"#define RAVLON_(\w+) \(?([\d *]+)\)?", text):
        found[name] = math.prod(int(f) for f in expr.split("*"))
    return found


def test_limits_and_codes_match_the_server():
    header = header_constants()
    for name in ("MAX_IMAGE_SIDE", "MAX_FRAME_SIZE", "DEFAULT_PORT", "REQ_DISCONNECT", "REQ_RESIZE",
                 "REQ_COLRGB", "REQ_COLMAP", "REQ_FRAME", "REQ_REGION"):
        assert getattr(protocol, name) == header[name], name


def test_accepted_sizes_end_where_the_limits_are():
    side, frame = protocol.MAX_IMAGE_SIDE, protocol.MAX_FRAME_SIZE
    assert protocol.valid_image_size(1, 1) and protocol.valid_image_size(side, side)
    for w, h in [(0, 1), (1, 0), (side + 1, 1), (1, side + 1), (-1, 5)]:
        assert not protocol.valid_image_size(w, h)
    assert protocol.valid_frame_size(0) and protocol.valid_frame_size(frame)
    assert not protocol.valid_frame_size(-1) and not protocol.valid_frame_size(frame + 1)

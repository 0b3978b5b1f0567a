"""The package refuses exactly what the server refuses: its limits are
those of client/ravlon_protocol.h, the header both the server and the C
client take theirs from."""

import math
import os
import re

from ravlon import cmaps, protocol
from support import SOURCE


def header_constants():
    text = open(os.path.join(SOURCE, "client", "ravlon_protocol.h")).read()
    found = {}
    for name, expr in re.findall(r"#define RAVLON_(\w+) \(?(0x[\da-f]+|[\d *]+)\)?", text):
        found[name] = math.prod(int(f, 0) for f in expr.split("*"))
    return found


def test_limits_and_codes_match_the_server():
    header = header_constants()
    names = [n for n, v in vars(protocol).items() if n.isupper() and isinstance(v, int)]
    assert len(names) > 30
    for name in names:
        assert getattr(protocol, name) == header[name], name
    for i, name in enumerate(cmaps.NAMES):  # the view request's maps
        assert header["MAP_" + name.upper()] == i, name
    text = open(os.path.join(SOURCE, "client", "ravlon_protocol.h")).read()
    assert f'#define RAVLON_UNIX_DIR "{protocol.UNIX_DIR}"' in text


def test_accepted_sizes_end_where_the_limits_are():
    side, frame = protocol.MAX_IMAGE_SIDE, protocol.MAX_FRAME_SIZE
    assert protocol.valid_image_size(1, 1) and protocol.valid_image_size(side, side)
    for w, h in [(0, 1), (1, 0), (side + 1, 1), (1, side + 1), (-1, 5)]:
        assert not protocol.valid_image_size(w, h)
    assert protocol.valid_frame_size(0) and protocol.valid_frame_size(frame)
    assert not protocol.valid_frame_size(-1) and not protocol.valid_frame_size(frame + 1)

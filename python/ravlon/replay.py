"""Recordings of ravlon's File > Record Stream... sent again: each request
as it was received, at the pace it arrived. The file's layout is in
docs/protocol.md (Recordings)."""

import struct
import time

from . import protocol
from .errors import SendError
from .progress import Progress
from .stream import Pacer

MAGIC = b"RAVLONREC"
VERSION = 1
_VERSION = struct.Struct(">I")
_RECORD = struct.Struct(">QI")  # arrival in ns since the recording began, length
_CUT = 0xFFFFFFFF  # the length of a request whose recording was cut off
# The requests that change the picture: --fps paces these.
_PICTURES = {protocol.REQ_COLRGB, protocol.REQ_COLMAP, protocol.REQ_FRAME, protocol.REQ_REGION}


def open_recording(path):
    """The requests of the recording at path, as (arrival ns, bytes), its
    head checked before the first is asked for."""
    try:
        f = open(path, "rb")
    except OSError as e:
        raise SendError(f"{path}: {e.strerror}") from None
    head = f.read(len(MAGIC) + _VERSION.size)
    if len(head) < len(MAGIC) + _VERSION.size or not head.startswith(MAGIC):
        raise SendError(f"{path}: not a recording of ravlon's stream")
    (version,) = _VERSION.unpack_from(head, len(MAGIC))
    if version != VERSION:
        raise SendError(f"{path}: a recording of version {version}, not {VERSION}")
    return _requests(f, path)


def _requests(f, path):
    count = 0
    while True:
        head = f.read(_RECORD.size)
        if not head:
            return
        at, size = _RECORD.unpack(head) if len(head) == _RECORD.size else (0, _CUT)
        data = f.read(size) if size != _CUT else b""
        if size == _CUT or len(data) < size:
            raise SendError(f"{path}: the recording ends inside request {count + 1}")
        count += 1
        yield at, data


def replay(client, requests, speed=1.0, fps=None):
    """Sends every request at its recorded time from the first, divided by
    speed; with fps the pictures go out at that rate instead, the other
    requests with the picture after them."""
    pacer = Pacer(fps)
    progress = Progress()
    start = time.monotonic()
    first = None
    pictures = 0
    try:
        for at, data in requests:
            picture = len(data) >= 4 and int.from_bytes(data[:4], "big") in _PICTURES
            first = at if first is None else first
            if fps and picture:
                pacer.wait(pictures)
            elif not fps:
                delay = start + (at - first) / 1e9 / speed - time.monotonic()
                if delay > 0:
                    time.sleep(delay)
            client.send_request(data)
            pictures += picture
            progress.update(pictures)
    finally:
        progress.finish(pictures)

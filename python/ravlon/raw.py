"""Raw frames from a byte stream, e.g. ffmpeg's rawvideo output."""

import numpy as np

from .errors import SendError

CHANNELS = {"rgb24": 3, "gray": 1}


def raw_frames(stream, name, width, height, pix_fmt):
    """Frames width x height of pix_fmt until the stream ends. An end
    between two frames is the normal end; one inside a frame is an error.
    The same buffer is reused: each frame is valid until the next one."""
    channels = CHANNELS[pix_fmt]
    shape = (height, width, channels) if channels > 1 else (height, width)
    buf = bytearray(width * height * channels)
    count = 0
    while True:
        got = _read_full(stream, buf)
        if got == 0:
            return
        if got < len(buf):
            raise SendError(f"{name}: the stream ended inside frame {count + 1} "
                            f"({got} of {len(buf)} bytes)")
        count += 1
        yield np.frombuffer(buf, np.uint8).reshape(shape)


def _read_full(stream, buf):
    view = memoryview(buf)
    got = 0
    while got < len(buf):
        n = stream.readinto(view[got:])
        if not n:
            break
        got += n
    return got

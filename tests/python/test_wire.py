"""What show() and ravlon-send put on the wire, taken by a listening socket
in ravlon's place: typed frames carry the array's own bytes, and the view
goes out only when it changes."""

import struct

import numpy as np
from PIL import Image

import ravlon
from ravlon import protocol as p, typed
from support import HOST, listener, received, send

RNG = np.random.default_rng(9)


def frame(array, fmt):
    h, w = array.shape[:2]
    return struct.pack(">4i", p.REQ_FRAME, w, h, fmt) + np.ascontiguousarray(array).tobytes()


def view(cmap=0, scale=0, rule=0, flags=0, percent=0.0, vmin=0.0, vmax=0.0):
    return struct.pack(">5i3d", p.REQ_VIEW, cmap, scale, rule, flags, percent, vmin, vmax)


def show_cases():
    """(array, show()'s arguments, the bytes it sends after the ones
    before)."""
    rgb = RNG.integers(0, 256, (5, 7, 3), dtype=np.uint8)
    rgba = RNG.integers(0, 256, (4, 6, 4), dtype=np.uint8)
    grey = RNG.integers(0, 256, (3, 5), dtype=np.uint8)
    both = p.VIEW_VMIN | p.VIEW_VMAX
    u16, i16 = np.arange(12, dtype=">u2").reshape(3, 4), np.arange(-6, 6, dtype="<i2").reshape(3, 4)
    i32, f32 = np.arange(6, dtype=np.int32).reshape(2, 3), np.linspace(0, 1, 8, dtype="<f4")
    f64 = np.array([[np.nan, 1e300], [-np.inf, 3.5]], ">f8")
    yield rgb, {}, frame(rgb, p.RGB)
    yield rgba, {}, frame(rgba, p.RGBA)
    yield rgb[:, ::-1], {}, frame(rgb[:, ::-1], p.RGB)  # copied only when not contiguous
    yield grey, {}, view(0, 0, 0, both, 0, 0, 255) + frame(grey, p.U8)  # grey as it is
    yield grey, {"cmap": "magma"}, view(2) + frame(grey, p.U8)
    yield u16, {"cmap": "magma"}, frame(u16, p.U16 | p.BIG_ENDIAN)  # the same view
    yield i16, {"vmin": -3, "scale": "log"}, view(0, 2, 0, p.VIEW_VMIN, 0, -3) + frame(i16, p.I16)
    yield i32[:, :, np.newaxis], {"limits": 99.5, "vmax": 4}, \
        view(0, 0, 1, p.VIEW_VMAX, 99.5, 0, 4) + frame(i32, p.I32)
    yield f32.reshape(2, 4), {"cmap": "turbo", "limits": "zscale", "scale": "asinh"}, \
        view(4, 3, 2) + frame(f32.reshape(2, 4), p.F32)
    yield f64, {"cmap": "coolwarm", "scale": "sqrt"}, \
        view(5, 1) + frame(f64, p.F64 | p.BIG_ENDIAN)
    # Other types as before: mapped here, sent in planes.
    yield np.zeros((2, 3), np.int64), {}, struct.pack(">5i", p.REQ_RESIZE, 3, 2, p.REQ_COLRGB, 6) \
        + bytes(18)


def test_show_sends_each_type_as_it_lies():
    contiguous = RNG.integers(0, 256, (4, 4, 3), dtype=np.uint8)
    assert np.shares_memory(np.asarray(typed.samples(contiguous)), contiguous)
    want = b""
    with listener("127.0.0.1") as ls:
        with ravlon.Client("127.0.0.1", ls.getsockname()[1]) as c:
            for array, options, sent in show_cases():
                c.show(array, **options)
                want += sent
            c.show(contiguous)
            c.region(contiguous[1:3, :2], 2, 1)
            want += frame(contiguous, p.RGB) + struct.pack(">6i", p.REQ_REGION, 2, 1, 2, 2, p.RGB) \
                + contiguous[1:3, :2].tobytes()
        assert received(ls.accept()[0]) == want


def test_ravlon_send_sends_16_bit_pictures_with_their_values(tmp_path):
    counts = RNG.integers(0, 65536, (6, 9)).astype(np.uint16)
    Image.fromarray(counts).save(tmp_path / "counts.png")
    with listener(HOST) as ls:
        done = send("--cmap", "inferno", "--vmin", "10", "--limits", "zscale",
                    str(tmp_path / "counts.png"), port=ls.getsockname()[1])
        assert (done.returncode, done.stderr) == (0, b"")
        assert received(ls.accept()[0]) == view(3, 0, 2, p.VIEW_VMIN, 0, 10) + \
            frame(counts.astype("<u2"), p.U16)

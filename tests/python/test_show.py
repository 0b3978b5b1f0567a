"""Client.show and the raw requests against the real ravlon: the pixels on
the screen are exactly the array's."""

import numpy as np
import pytest

import ravlon

RNG = np.random.default_rng(12)
MAGENTA = (255, 0, 255)


def grey_rgb(grey):
    return np.repeat(grey[:, :, np.newaxis], 3, axis=2)


def test_arrays_of_every_kind(server):
    # Each new shape resizes; RGBA drops alpha; bool is 0 or 255; H x W x 1
    # is grey; in colour pictures integers are clipped, floats are scaled
    # and rounded and clipped, a pixel with NaN or an infinity is magenta.
    rgb = RNG.integers(0, 256, (90, 230, 3), dtype=np.uint8)
    rgba = RNG.integers(0, 256, (120, 70, 4), dtype=np.uint8)
    grey = RNG.integers(0, 256, (64, 200), dtype=np.uint8)
    floats = np.array([0.0, 1.0, -0.5, 1.5, np.nan, 0.5, 1 / 255 * 0.49, 1 / 255 * 0.51,
                       np.inf, -np.inf])
    reds = np.tile(floats, (40, 3))  # 40 x 30
    float_rgb = np.zeros((40, 30, 3), np.uint8)
    float_rgb[:, :, 0] = np.tile([0, 255, 0, 255, 0, 128, 0, 1, 0, 0], (40, 3))
    float_rgb[:, :, 1] = 128
    float_rgb[~np.isfinite(reds)] = MAGENTA
    ints = np.array([[-7, 0, 100, 255, 256, 70000]] * 20, np.int32)
    mask = np.array([[True, False, True, False, True, False]] * 20)
    cases = [
        (rgb, rgb),
        (rgba, rgba[:, :, :3]),
        (grey, grey_rgb(grey)),
        (grey[::-1, :, np.newaxis], grey_rgb(grey[::-1])),
        (np.dstack([reds, np.full_like(reds, 0.5), np.zeros_like(reds)]), float_rgb),
        (grey_rgb(ints), grey_rgb(np.array([[0, 0, 100, 255, 255, 255]] * 20, np.uint8))),
        (mask, grey_rgb(mask.astype(np.uint8) * 255)),
    ]
    with ravlon.Client(port=server.port) as c:
        for array, expected in cases:
            c.show(array)
            assert server.shows(expected), (array.dtype, array.shape)


def test_raw_requests_in_wire_layout(server):
    # Pixel (x, y) at x * height + y; pixels past the frame's size are black.
    w, h = 20, 10
    r = bytes(range(200))
    g = bytes(200 - i for i in range(200))
    with ravlon.Client(port=server.port) as c:
        c.resize(w, h)
        c.send_rgb(r, g, bytearray(b"\x07" * 200))
        cols = np.frombuffer(r, np.uint8).reshape(w, h).T
        expected = np.stack([cols, np.frombuffer(g, np.uint8).reshape(w, h).T,
                             np.full((h, w), 7, np.uint8)], axis=2)
        assert server.shows(expected)
        c.send_rgb(r[:50], g[:50], r[:50])
        short = np.zeros_like(expected)
        short[:, :5] = np.stack([cols[:, :5], expected[:, :5, 1], cols[:, :5]], axis=2)
        assert server.shows(short)


def test_refused_sizes_send_nothing(server):
    with ravlon.Client(port=server.port) as c:
        for shape in [(0, 10), (10, 8193), (8193, 1, 3)]:
            with pytest.raises(ValueError, match="outside what ravlon accepts"):
                c.show(np.zeros(shape, np.uint8))
        with pytest.raises(ValueError, match="cannot show an array of shape"):
            c.show(np.zeros((4, 4, 2), np.uint8))
        with pytest.raises(TypeError, match="complex"):  # as colour; H x W in test_scalar
            c.show(np.zeros((4, 4, 3), complex))
        with pytest.raises(ValueError, match="differ in length"):
            c.send_rgb(b"ab", b"ab", b"a")
        # Nothing was sent: the stream is still in step.
        pic = RNG.integers(0, 256, (30, 40, 3), dtype=np.uint8)
        c.show(pic)
        assert server.shows(pic)


def test_network_failures_raise_connection_error(server):
    port = server.port
    server.stop()
    with pytest.raises(ConnectionError, match=f"cannot connect to ravlon at .*:{port}"):
        ravlon.Client(port=port)



def test_regions_replace_their_rectangle_only(server):
    # A float64 field shown grey from 0 to 256, value v + 0.5 as grey v;
    # regions outside the frame or of another type raise and send nothing.
    index = RNG.integers(0, 256, (40, 60))
    tile = 255 - index[30:40, 45:60]
    with ravlon.Client(port=server.port) as c:
        c.show(index + 0.5, vmin=0, vmax=256)
        for region, x, y in [(tile + 0.5, 46, 30), (tile + 0.5, 45, 31), (tile, 45, 30)]:
            with pytest.raises(ValueError, match="outside the 60x40 frame|not of the last"):
                c.region(region, x, y)
        c.region(tile + 0.5, 45, 30)
        expected = index.copy()
        expected[30:40, 45:60] = tile
        assert server.shows(grey_rgb(expected.astype(np.uint8)))

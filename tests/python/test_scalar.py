"""Scalar fields through colour maps, against the real ravlon: every pixel on
the screen is the map's entry the documented formulas pick."""

import numpy as np
import pytest

import ravlon
from ravlon import cmaps
from support import cmap_table as table, listener, received

MAGENTA = (255, 0, 255)


def test_published_entries():
    # The ends and the middle of each map as their authors publish them.
    for name, entries in {
        "viridis": {0: (0.267004, 0.004874, 0.329415), 255: (0.993248, 0.906157, 0.143936)},
        "magma": {0: (0.001462, 0.000466, 0.013866), 255: (0.987053, 0.991438, 0.749504)},
        "inferno": {128: (0.735683, 0.215906, 0.330245), 255: (0.988362, 0.998364, 0.644924)},
        "turbo": {0: (0.18995, 0.07176, 0.23217), 255: (0.4796, 0.01583, 0.01055)},
        "coolwarm": {0: (0.2298057, 0.298717966, 0.753683153),
                     255: (0.705673158, 0.01555616, 0.150232812)},
        "gray": {0: (0, 0, 0), 51: (0.2, 0.2, 0.2), 255: (1, 1, 1)},
    }.items():
        for i, rgb in entries.items():
            assert np.allclose(cmaps.floats(name)[i], rgb, atol=1e-12), (name, i)


def field(width, height, index, lo, hi, dtype):
    """A field H x W whose pixel shows entry index[y, x] between limits lo
    and hi: each value lies in the middle of its entry's range."""
    return (lo + (index + 0.5) / 256 * (hi - lo)).astype(dtype)


def inverse_ramp(scale):
    """Values 0..1 that the scale takes to the middle of entries 0..255."""
    s = (np.arange(256) + 0.5) / 256
    return {"sqrt": s ** 2, "log": (1001.0 ** s - 1) / 1000,
            "asinh": np.sinh(s * np.arcsinh(10.0)) / 10}[scale]


RNG = np.random.default_rng(3)
INDEX = RNG.integers(0, 256, (50, 70))
RAMP = np.tile(np.arange(256), (8, 1))


def cases():
    """(array, show()'s arguments, the RGB picture expected)."""
    u16 = field(70, 50, INDEX, 1000, 5000, np.uint16)
    f64 = field(70, 50, INDEX, -2.5e-3, 7.5e-3, np.float64)
    yield u16, dict(cmap="gray", vmin=1000, vmax=5000), table("gray")[INDEX]
    yield f64, dict(cmap="viridis", vmin=-2.5e-3, vmax=7.5e-3), table("viridis")[INDEX]
    # Reversed limits turn the map round. H x W x 1 is a field H x W.
    yield f64, dict(cmap="viridis", vmin=7.5e-3, vmax=-2.5e-3), table("viridis")[255 - INDEX]
    yield f64[:, :, np.newaxis], dict(cmap="inferno", vmin=-2.5e-3, vmax=7.5e-3), \
        table("inferno")[INDEX]
    for scale in ("sqrt", "log", "asinh"):
        yield inverse_ramp(scale)[RAMP] * 40 + 10, dict(cmap="magma", vmin=10, vmax=50,
                                                        scale=scale), table("magma")[RAMP]
    # No cmap: grey, between the field's smallest and largest values.
    yield field(256, 8, RAMP, 0, 1, np.float32) + np.float32(3), {}, table("gray")[RAMP]
    # Percentiles: 40 outliers among 4000 values leave the ramp its colours.
    ramp = field(256, 16, np.tile(np.arange(256), (16, 1)), 0, 256, np.float64)
    spiky = ramp.copy()
    spiky[::4, ::25] = 1e9
    lo, hi = np.percentile(spiky, [0.5, 99.5])
    t = np.clip((spiky - lo) / (hi - lo), 0, 1)
    yield spiky, dict(cmap="inferno", limits=99.5), \
        table("inferno")[np.minimum(255, (t * 256).astype(int))]
    # NaN and infinities are magenta in every map; a constant field shows
    # the map's first entry, an all-NaN one only magenta.
    holes = f64.copy()
    holes[10:20, 5:9] = np.nan
    holes[30, :] = np.inf
    holes[:, 60] = -np.inf
    expected = table("turbo")[INDEX]
    expected[10:20, 5:9] = expected[30, :] = expected[:, 60] = MAGENTA
    yield holes, dict(cmap="turbo", vmin=-2.5e-3, vmax=7.5e-3), expected
    yield np.full((12, 30), 7.0), dict(cmap="coolwarm"), np.tile(table("coolwarm")[0], (12, 30, 1))
    yield np.full((12, 30), np.nan), dict(cmap="coolwarm"), np.tile(MAGENTA, (12, 30, 1))
    # A matplotlib colour map is a callable: values 0..1 to RGBA floats.
    ramp2 = np.tile(np.linspace(0, 1, 64), (6, 1))
    mpl_like = lambda x: np.stack([x, 1 - x, np.zeros_like(x), np.ones_like(x)], axis=-1)
    entries = np.minimum(255, (ramp2 * 256).astype(int))
    middle = (entries + 0.5) / 256
    yield ramp2, dict(cmap=mpl_like), \
        np.rint(np.stack([middle, 1 - middle, 0 * middle], -1) * 255).astype(np.uint8)


def test_fields_show_the_maps_entries(server):
    with ravlon.Client(port=server.port) as c:
        for array, options, expected in cases():
            c.show(array, **options)
            assert server.shows(expected.astype(np.uint8)), (array.dtype, options)


@pytest.mark.parametrize("array, options, error, match", [
    (np.zeros((4, 4)), dict(cmap="jet"), ValueError, "no colour map 'jet': use one of gray"),
    (np.zeros((4, 4)), dict(scale="cube"), ValueError, "no scale 'cube'"),
    (np.zeros((4, 4)), dict(limits=30), ValueError, "percentile above 50"),
    (np.zeros((4, 4), np.int64), dict(limits="zscale"), ValueError, "percentile above 50"),
    (np.zeros((4, 4)), dict(vmin=np.nan), ValueError, "vmin must be a finite number"),
    (np.zeros((4, 4)), dict(cmap=lambda x: x), ValueError, "256 RGB or RGBA floats"),
    (np.zeros((4, 4)), dict(cmap=3), TypeError, "a name or a callable"),
    (np.zeros((4, 4, 3)), dict(cmap="gray"), ValueError, "apply to arrays H x W"),
    (np.zeros((4, 4), complex), {}, TypeError, "complex"),
    (np.zeros((0, 4)), {}, ValueError, "outside what ravlon accepts"),
])
def test_mistakes_send_nothing(array, options, error, match):
    # The size is checked after the colours are made: an empty field must
    # get that far.
    with listener("127.0.0.1") as ls:
        with ravlon.Client("127.0.0.1", ls.getsockname()[1]) as c:
            with pytest.raises(error, match=match):
                c.show(array, **options)
        assert received(ls.accept()[0]) == b""

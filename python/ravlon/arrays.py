"""numpy arrays as ravlon frames: bytes 0..255, column by column."""

import numpy as np

NAN_COLOUR = (255, 0, 255)  # magenta, in none of the built-in colour maps


def to_bytes(array):
    """The array's values as uint8, in its own shape.

    bool is 0 or 255; other integers are clipped to 0..255; floats 0.0..1.0
    are scaled to 0..255 and rounded (half up), NaN is 0.
    """
    kind = array.dtype.kind
    if array.dtype == np.uint8:
        return array
    if kind == "b":
        return array.astype(np.uint8) * np.uint8(255)
    if kind in "iu":
        return np.clip(array, 0, 255).astype(np.uint8)
    if kind == "f":
        scaled = np.clip(array, 0.0, 1.0) * 255.0 + 0.5
        return np.nan_to_num(scaled, copy=False, nan=0.0).astype(np.uint8)
    raise TypeError(f"cannot show an array of {array.dtype}: "
                    "use uint8, bool, another integer type or floats")


def _channels(array):
    """A view H x W x C with C 1 (grey) or 3 (RGB)."""
    if array.ndim == 2:
        return array[:, :, np.newaxis]
    if array.ndim == 3 and array.shape[2] in (3, 4):
        return array[:, :, :3]
    raise ValueError(f"cannot show an array of shape {array.shape}: "
                     "use H x W (grey), H x W x 3 (RGB) or H x W x 4 (RGBA)")


# The planes are filled in tiles this many columns wide and rows high, so
# that the picture's rows a tile reads stay in the cache while it is made.
_TILE_COLUMNS, _TILE_ROWS = 512, 64


def frame_planes(array, cmap=None, vmin=None, vmax=None, scale="linear", limits=None, out=None):
    """What show() sends for array: its planes as one C-contiguous uint8
    array C x W x H (C 1 or 3), plane c holding pixel (x, y) at x * H + y as
    the wire has it; a scalar field through its colour map. They are made
    in out when it has their shape: 6 MB of fresh planes for a 1920 x 1080
    frame cost a quarter more than filling them, in page faults."""
    from . import scalar

    array = np.asarray(array)
    if array.ndim == 3 and array.shape[2] == 1:
        array = array[:, :, 0]  # one channel is a picture H x W
    if scalar.wants_map(array, cmap, vmin, vmax, scale, limits):
        return scalar.colour_planes(array, cmap, vmin, vmax, scale, limits, out=out)
    return column_planes(array, out)


def planes_buffer(shape, out):
    return out if out is not None and out.shape == shape else np.empty(shape, np.uint8)


def column_planes(array, out=None):
    """The planes of a row-major picture of bytes (or values to_bytes
    makes bytes of), as frame_planes gives them; a float colour pixel with
    NaN or an infinity in any of its colours is NAN_COLOUR."""
    colours = _channels(array)
    pixels = to_bytes(colours).transpose(2, 1, 0)
    planes = planes_buffer(pixels.shape, out)
    _, width, height = planes.shape
    for x in range(0, width, _TILE_COLUMNS):
        for y in range(0, height, _TILE_ROWS):
            tile = np.s_[:, x:x + _TILE_COLUMNS, y:y + _TILE_ROWS]
            planes[tile] = pixels[tile]
    if colours.dtype.kind == "f" and colours.shape[2] == 3:
        finite = np.isfinite(colours).all(axis=2)
        if not finite.all():
            paint_non_finite(planes, ~finite.T)
    return planes


def paint_non_finite(planes, bad):
    """The RGB planes' pixels in the mask bad (W x H) in NAN_COLOUR."""
    for c in range(3):
        planes[c][bad] = NAN_COLOUR[c]


def column_indices(array):
    """A row-major H x W array of integers as a C-contiguous uint8 plane
    W x H of colour indices."""
    array = np.asarray(array)
    if array.dtype.kind not in "iu":
        raise TypeError(f"colour indices must be integers, not {array.dtype}")
    if array.ndim != 2:
        raise ValueError(f"colour indices must be an array H x W, not of shape {array.shape}")
    return np.ascontiguousarray(to_bytes(array).T)

"""numpy arrays as typed frames: their own samples, row by row as numpy
holds them, and the view request that shows them as show() is asked to."""

import sys

import numpy as np

from . import cmaps, protocol, scalar

_FORMATS = {("u", 1): protocol.U8, ("u", 2): protocol.U16, ("i", 2): protocol.I16,
            ("i", 4): protocol.I32, ("f", 4): protocol.F32, ("f", 8): protocol.F64}
_SCALES = {"linear": protocol.SCALE_LINEAR, "sqrt": protocol.SCALE_SQRT,
           "log": protocol.SCALE_LOG, "asinh": protocol.SCALE_ASINH}
# Grey bytes shown as they are, as show() has always shown them.
_GREY_BYTES = (protocol.MAP_GRAY, protocol.SCALE_LINEAR, protocol.LIMITS_MINMAX,
               protocol.VIEW_VMIN | protocol.VIEW_VMAX, 0.0, 0.0, 255.0)


def sample_format(array):
    """The format of a typed frame of array, None where it is none: H x W x 3
    or 4 of uint8, or H x W of the one-channel sample types."""
    if array.ndim == 3 and array.dtype == np.uint8 and array.shape[2] in (3, 4):
        return protocol.RGB if array.shape[2] == 3 else protocol.RGBA
    fmt = _FORMATS.get((array.dtype.kind, array.dtype.itemsize)) if array.ndim == 2 else None
    order = array.dtype.byteorder
    if fmt is not None and array.dtype.itemsize > 1 and (
            order == ">" or (order == "=" and sys.byteorder == "big")):
        fmt |= protocol.BIG_ENDIAN
    return fmt


def samples(array):
    """The array's bytes row by row: the array itself where it is
    contiguous, no copy."""
    return memoryview(np.ascontiguousarray(array))


def frame(array, cmap, vmin, vmax, scale, limits):
    """(format, view) of what show() sends for array as a typed frame, view
    None for colour frames; None when it goes as planes: other types, a
    colour map that is a callable, or mapping options for a colour array
    (which show() refuses)."""
    fmt = sample_format(array)
    given = scalar.mapping_given(cmap, vmin, vmax, scale, limits)
    if fmt is None or (array.ndim == 3 and given) or not (cmap is None or isinstance(cmap, str)):
        return None
    if array.ndim == 3:
        return fmt, None
    if fmt == protocol.U8 and not given:
        return fmt, _GREY_BYTES
    return fmt, view(cmap, vmin, vmax, scale, limits)


def view(cmap, vmin, vmax, scale, limits):
    """The view request's fields for show()'s arguments; ValueError for
    ones ravlon has none of."""
    name = cmap or "gray"
    if name not in cmaps.NAMES:
        raise ValueError(f"no colour map {name!r}: use one of {', '.join(cmaps.NAMES)}, "
                         "or a matplotlib colour map")
    if scale not in _SCALES:
        raise ValueError(f"no scale {scale!r}: use one of {', '.join(scalar.SCALES)}")
    scalar.check_limits(vmin, vmax)
    if limits == "zscale":
        rule, percent = protocol.LIMITS_ZSCALE, 0.0
    else:
        percent = scalar.percentile(limits)
        rule = protocol.LIMITS_MINMAX if percent is None else protocol.LIMITS_PERCENT
    flags = (protocol.VIEW_VMIN if vmin is not None else 0) | \
        (protocol.VIEW_VMAX if vmax is not None else 0)
    return (cmaps.NAMES.index(name), _SCALES[scale], rule, flags, percent or 0.0,
            float(vmin or 0.0), float(vmax or 0.0))

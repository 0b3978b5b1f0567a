"""Scalar fields as colours: limits, a scale and a colour map, made straight
into the wire's RGB planes.

A value x becomes t = (x - vmin) / (vmax - vmin), clipped to 0..1 (vmin
above vmax turns the map round; vmin equal to vmax makes every value 0);
the scale makes s from t:

    linear  s = t
    sqrt    s = sqrt(t)
    log     s = log10(1 + 1000 t) / log10(1 + 1000)
    asinh   s = asinh(10 t) / asinh(10)

and s picks entry min(255, floor(256 s)) of the colour map's 256. NaN and
the infinities show as arrays.NAN_COLOUR, whatever the map.
"""

import numbers

import numpy as np

from . import cmaps
from .arrays import paint_non_finite, planes_buffer
SCALES = ("linear", "log", "sqrt", "asinh")
_LOG_A = 1000.0
_ASINH_B = 10.0


def _log(t):
    t *= _LOG_A
    np.log1p(t, out=t)
    t *= 1 / np.log1p(_LOG_A)


def _asinh(t):
    t *= _ASINH_B
    np.arcsinh(t, out=t)
    t *= 1 / np.arcsinh(_ASINH_B)


_SCALE_OF = {"linear": lambda t: None, "sqrt": lambda t: np.sqrt(t, out=t), "log": _log,
             "asinh": _asinh}


def wants_map(array, cmap, vmin, vmax, scale, limits):
    """Whether show() maps array through a colour map: a 2-D array of
    anything but uint8 or bool, or any 2-D array a mapping option is
    given for."""
    given = mapping_given(cmap, vmin, vmax, scale, limits)
    if array.ndim != 2:
        if given:
            raise ValueError(f"colour maps and limits apply to arrays H x W, not of shape "
                             f"{array.shape}")
        return False
    return given or array.dtype not in (np.uint8, np.bool_)


def mapping_given(cmap, vmin, vmax, scale, limits):
    """Whether any of show()'s mapping options is other than its default."""
    return cmap is not None or vmin is not None or vmax is not None or limits is not None \
        or scale != "linear"


def colour_planes(array, cmap=None, vmin=None, vmax=None, scale="linear", limits=None, out=None):
    """The RGB planes 3 x W x H (C-contiguous, wire order) of the 2-D array
    mapped through cmap: a built-in name (default "gray") or a callable
    like matplotlib's colour maps, values 0..1 to RGB(A) floats."""
    if array.dtype.kind not in "biuf":
        raise TypeError(f"cannot show an array of {array.dtype}: use integers or floats")
    if scale not in _SCALE_OF:
        raise ValueError(f"no scale {scale!r}: use one of {', '.join(SCALES)}")
    table = colour_table(cmap)
    if not array.dtype.isnative:  # FITS data is big-endian
        array = array.astype(array.dtype.newbyteorder("="))
    if array.dtype.kind == "b":
        array = array.view(np.uint8)
    finite = np.isfinite(array) if array.dtype.kind == "f" else None
    if finite is not None and finite.all():
        finite = None
    lo, hi = value_limits(array, vmin, vmax, limits, finite)
    if array.dtype.kind in "iu" and array.dtype.itemsize <= 2:
        index, bad = _table_lookup(array, lo, hi, scale), None
    else:
        # Worked on transposed from the start: the planes are column-major.
        # Half and single floats in single precision, unless the limits
        # given lie beyond it.
        small = array.dtype.kind == "f" and array.dtype.itemsize <= 4 and max(abs(lo), abs(hi)) < 1e38
        work = np.float32 if small else np.float64
        t = np.array(array.T, dtype=work, order="C")
        bad = None if finite is None else ~finite.T
        index = _index(t, lo, hi, scale, bad)
    planes = planes_buffer((3,) + index.shape, out)
    flat = index.ravel().astype(np.intp)
    for c in range(3):
        np.take(table[c], flat, out=planes[c].ravel())
    if bad is not None:
        paint_non_finite(planes, bad)
    return planes


def _table_lookup(array, lo, hi, scale):
    """Indices of 8- and 16-bit integers through a table of every value
    their type has, transposed."""
    unsigned = np.dtype(f"u{array.dtype.itemsize}")
    values = np.arange(2 ** (8 * array.dtype.itemsize)).astype(unsigned).view(array.dtype)
    lut = _index(values.astype(np.float64), lo, hi, scale, None)
    return lut[array.view(unsigned).T]


def _index(t, lo, hi, scale, bad):
    """Colour-map indices (uint8) of the values t, a float array that is
    worked on in place."""
    with np.errstate(invalid="ignore", over="ignore"):
        span = hi - lo
        if not np.isfinite(span):  # limits at the ends of the float range
            t *= 0.5
            lo, span = lo * 0.5, hi * 0.5 - lo * 0.5
        # Linear goes straight to 256 t: scaling by a power of two is exact,
        # so the entries are those of the other scales' longer way.
        top = 256 if scale == "linear" else 1
        if span:
            t -= t.dtype.type(lo)
            t *= t.dtype.type(top / span)
            np.clip(t, 0, top, out=t)
        else:
            t[...] = 0
        if bad is not None:
            t[bad] = 0
        if top == 1:
            _SCALE_OF[scale](t)
            t *= 256
        np.minimum(t, 255, out=t)
        return t.astype(np.uint8)


def value_limits(array, vmin=None, vmax=None, limits=None, finite=None):
    """(vmin, vmax): those given, the others from the array's finite values
    by limits: "minmax" (None) or a percentile p, 50 < p <= 100, that
    clips both tails (p and 100 - p). With no finite value, 0. finite is
    the mask of the finite values when some are not, None when all are."""
    check_limits(vmin, vmax)
    percent = percentile(limits)
    if vmin is not None and vmax is not None:
        return float(vmin), float(vmax)
    values = array if finite is None else array[finite]
    if values.size == 0:
        lo = hi = 0.0
    elif percent is None:
        lo, hi = float(values.min()), float(values.max())
    else:
        lo, hi = (float(v) for v in np.percentile(values, [100 - percent, percent]))
    return (lo if vmin is None else float(vmin)), (hi if vmax is None else float(vmax))


def check_limits(vmin, vmax):
    """ValueError unless each limit given is a finite number."""
    for name, v in (("vmin", vmin), ("vmax", vmax)):
        if v is not None and not (isinstance(v, numbers.Real) and np.isfinite(v)):
            raise ValueError(f"{name} must be a finite number, not {v!r}")


def percentile(limits):
    """The percentile limits asks for, None for min-max; ValueError when it
    is neither."""
    if limits is None or limits == "minmax":
        return None
    if isinstance(limits, numbers.Real) and not isinstance(limits, bool) and 50 < limits <= 100:
        return float(limits)
    raise ValueError(f"limits must be \"minmax\" or a percentile above 50 and up to 100, "
                     f"not {limits!r}")


_built_in = {}


def colour_table(cmap):
    """The map as 3 x 256 bytes, one row a channel: a built-in map by name,
    or a callable taking values 0..1 to RGB(A) floats 0..1, sampled at the
    middle of each of its 256 entries. Floats are rounded to bytes."""
    if cmap is None or isinstance(cmap, str):
        name = cmap or "gray"
        if name not in cmaps.NAMES:
            raise ValueError(f"no colour map {name!r}: use one of {', '.join(cmaps.NAMES)}, "
                             "or a matplotlib colour map")
        if name not in _built_in:
            _built_in[name] = _bytes(cmaps.floats(name))
        return _built_in[name]
    if not callable(cmap):
        raise TypeError(f"a colour map is a name or a callable, not {type(cmap).__name__}")
    floats = np.asarray(cmap((np.arange(256) + 0.5) / 256), float)
    if floats.shape not in ((256, 3), (256, 4)) or not np.all((floats >= 0) & (floats <= 1)):
        raise ValueError("a colour map must take 256 values to 256 RGB or RGBA floats 0..1")
    return _bytes(floats[:, :3])


def _bytes(floats):
    return np.ascontiguousarray(np.rint(floats * 255).astype(np.uint8).T)

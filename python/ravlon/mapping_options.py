"""ravlon-send's colour-map options: how one-channel pictures (16-bit PNG
and TIFF, .npy arrays, FITS images) are shown, which show() sends to ravlon
as its view."""

import argparse
import sys

from . import cmaps, scalar


def limits(text):
    """--limits: "minmax", "zscale" or a percentile above 50 and up to 100."""
    if text in ("minmax", "zscale"):
        return text
    try:
        value = float(text)
        scalar.percentile(value)
    except ValueError:
        raise argparse.ArgumentTypeError(
            f"{text!r} is neither minmax, zscale nor a percentile above 50 and up to 100") from None
    return value


def add_options(p):
    from .command import _number

    finite = _number(float, -sys.float_info.max, sys.float_info.max, "a finite number")
    g = p.add_argument_group(
        "colour maps", "for one-channel pictures (grey, 16-bit PNG and TIFF, .npy, FITS); "
        "colour pictures are shown as they are")
    g.add_argument("--cmap", choices=cmaps.NAMES, help="the colour map (default: gray)")
    g.add_argument("--vmin", type=finite, metavar="VALUE",
                   help="the value at the map's low end (default: from --limits)")
    g.add_argument("--vmax", type=finite, metavar="VALUE",
                   help="the value at the map's high end (default: from --limits)")
    g.add_argument("--scale", choices=scalar.SCALES,
                   help="from the limits to the map (default: linear)")
    g.add_argument("--limits", type=limits, metavar="minmax|PERCENT|zscale",
                   help="limits from each picture's values: its smallest and largest (minmax, "
                        "the default), a percentile such as 99.5, clipping both tails, or zscale")


_NAMES = ("cmap", "vmin", "vmax", "scale", "limits")


def show_options(a):
    """The options given, as show()'s keyword arguments."""
    return {name: getattr(a, name) for name in _NAMES if getattr(a, name) is not None}


def check(p, a):
    if a.colmap and show_options(a):
        p.error("--colmap sends grey bytes as colour indices: it takes no "
                "--cmap, --vmin, --vmax, --scale or --limits")

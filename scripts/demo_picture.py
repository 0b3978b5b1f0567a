#!/usr/bin/python3
"""Renders the picture scripts/demo sends with ravlon-send: the Mandelbrot
set near the seahorse valley, coloured by smooth escape time.

    scripts/demo_picture.py OUT.png [WIDTHxHEIGHT]
"""

import sys

import numpy as np
from PIL import Image

CENTRE, SPAN, ITERATIONS = -0.7435 + 0.1314j, 0.012, 400


def escape_times(width, height):
    """Smooth escape time of each point, NaN inside the set."""
    x = np.linspace(-SPAN / 2, SPAN / 2, width)
    y = np.linspace(SPAN / 2, -SPAN / 2, height) * height / width
    c = CENTRE + x[np.newaxis, :] + 1j * y[:, np.newaxis]
    z = np.zeros_like(c)
    times = np.full(c.shape, np.nan)
    for k in range(ITERATIONS):
        live = np.isnan(times)
        z[live] = z[live] ** 2 + c[live]
        out = live & (np.abs(z) > 4)
        times[out] = k + 1 - np.log2(np.log2(np.abs(z[out])))
    return times


def colours(times):
    """Deep blue through white to orange, cycling; the set itself black."""
    phase = np.sqrt(np.nan_to_num(times, nan=0.0)) * 0.9
    rgb = 0.5 + 0.5 * np.cos(phase[..., np.newaxis] + np.array([3.6, 3.9, 4.6]))
    rgb[np.isnan(times)] = 0
    return (rgb * 255 + 0.5).astype(np.uint8)


def main(argv):
    width, height = map(int, (argv[2] if len(argv) > 2 else "640x400").split("x"))
    Image.fromarray(colours(escape_times(width, height))).save(argv[1])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

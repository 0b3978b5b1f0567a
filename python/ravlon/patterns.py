"""Moving test patterns: frame k of a pattern is a function of k alone."""

import numpy as np

# Colour bars, as on a test card: white, yellow, cyan, green, magenta, red,
# blue, black.
_BARS = np.array([[255, 255, 255], [255, 255, 0], [0, 255, 255], [0, 255, 0],
                  [255, 0, 255], [255, 0, 0], [0, 0, 255], [0, 0, 0]], np.uint8)


def bars(width, height, k):
    """Colour bars moving to the right, 4 pixels a frame."""
    x = (np.arange(width) - 4 * k) * 8 // width % 8
    return np.broadcast_to(_BARS[x], (height, width, 3))


def ramp(width, height, k):
    """A grey ramp, diagonal, moving one step a frame."""
    x = np.arange(width)[np.newaxis, :]
    y = np.arange(height)[:, np.newaxis]
    return ((x + y + k) % 256).astype(np.uint8)


def plasma(width, height, k):
    """Drifting colour waves."""
    t = k * 0.1
    u = np.linspace(0, 2 * np.pi, width, endpoint=False)[np.newaxis, :]
    v = np.linspace(0, 2 * np.pi, height, endpoint=False)[:, np.newaxis]
    w = np.sin(u * 2 + t) + np.sin(v * 3 - t * 1.3) + np.sin((u + v) * 1.5 + t * 0.7)
    phases = np.array([0.0, 2.1, 4.2])
    return (0.5 + 0.5 * np.sin(w[..., np.newaxis] * 1.2 + phases)).astype(np.float32)


PATTERNS = {"bars": bars, "plasma": plasma, "ramp": ramp}


def pattern_frames(name, width, height, count):
    for k in range(count):
        yield PATTERNS[name](width, height, k)

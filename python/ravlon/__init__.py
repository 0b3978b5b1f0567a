"""Show pictures in ravlon, the image display server, from Python.

    import numpy, ravlon
    with ravlon.Client() as c:
        c.show(numpy.random.rand(480, 640, 3))                  # RGB
        c.show(numpy.random.rand(480, 640) * 300, cmap="magma")  # a scalar field
"""

from .client import Client
from .protocol import MAX_FRAME_SIZE, MAX_IMAGE_SIDE

__all__ = ["Client", "MAX_FRAME_SIZE", "MAX_IMAGE_SIDE"]

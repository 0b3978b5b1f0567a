"""Image files as frames, decoded by Pillow, and scaling to fit."""

import numpy as np

from .arrays import to_bytes
from .errors import SendError


def _pil():
    from PIL import Image, ImageSequence

    return Image, ImageSequence


def check_files(paths):
    """Every file exists and is a picture Pillow knows, before anything is
    sent; a picture that is damaged further in is found when it is shown.
    Pillow refuses to open a picture with more pixels than it decodes
    safely, with an error of its own that is no OSError."""
    Image, _ = _pil()
    for path in paths:
        try:
            Image.open(path).close()
        except (OSError, Image.DecompressionBombError) as e:
            raise SendError(f"{path}: {_why_not(e)}") from None


def _why_not(error):
    if not isinstance(error, OSError):
        return str(error)
    return error.strerror or "not a picture ravlon-send can read"


def file_frames(paths):
    """Every frame of every file (an animated GIF or a multi-page TIFF has
    several), as uint8 arrays H x W (grey) or H x W x 3."""
    Image, ImageSequence = _pil()
    for path in paths:
        try:
            with Image.open(path) as im:
                for frame in ImageSequence.Iterator(im):
                    yield picture_array(frame)
        except (OSError, SyntaxError, ValueError, Image.DecompressionBombError) as e:
            raise SendError(f"{path}: cannot decode the picture: {e}") from None


def picture_array(im):
    if im.mode in ("1", "L", "LA", "La"):
        return np.asarray(im.convert("L"))
    if im.mode.startswith("I"):
        # 16-bit grey: the top byte of each sample.
        return (np.clip(np.asarray(im), 0, 65535) >> 8).astype(np.uint8)
    return np.asarray(im.convert("RGB"))


def fit(array, box):
    """The picture scaled down, keeping its aspect ratio, to fit box
    (width, height); a picture that fits already is left as it is. Pillow
    takes bytes, not the floats of a pattern: they are turned into the bytes
    show() would send first."""
    height, width = array.shape[:2]
    scale = min(box[0] / width, box[1] / height)
    if scale >= 1:
        return array
    size = (max(1, round(width * scale)), max(1, round(height * scale)))
    Image, _ = _pil()
    return np.asarray(Image.fromarray(to_bytes(array)).resize(size, Image.Resampling.LANCZOS))

"""Image files as frames, decoded by Pillow, and scaling to fit."""

import numpy as np

from . import datafiles
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
    for path in paths:
        if datafiles.is_data_file(path):
            datafiles.check(path)
            continue
        Image, _ = _pil()
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
    several), as arrays H x W (grey or, from 16-bit and data files, other
    numbers) or H x W x 3."""
    for path in paths:
        if datafiles.is_data_file(path):
            yield from datafiles.frames(path)
            continue
        Image, ImageSequence = _pil()
        try:
            with Image.open(path) as im:
                for frame in ImageSequence.Iterator(im):
                    yield picture_array(frame)
        except (OSError, SyntaxError, ValueError, Image.DecompressionBombError) as e:
            raise SendError(f"{path}: cannot decode the picture: {e}") from None


def picture_array(im):
    if im.mode in ("1", "L", "LA", "La"):
        return np.asarray(im.convert("L"))
    if im.mode == "I" and im.format == "PNG":
        # Pillow widens a 16-bit PNG's grey to 32 bits: its samples go as
        # the file has them.
        return np.asarray(im).astype(np.uint16)
    if im.mode.startswith(("I", "F")):
        # 16- and 32-bit grey keep their values, for the colour map.
        return np.asarray(im)
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
    if array.ndim == 2 and array.dtype not in (np.uint8, np.bool_):
        # A scalar field keeps its values: its colours are made afterwards.
        scaled = Image.fromarray(np.asarray(array, np.float32), "F")
        return np.asarray(scaled.resize(size, Image.Resampling.LANCZOS))
    return np.asarray(Image.fromarray(to_bytes(array)).resize(size, Image.Resampling.LANCZOS))

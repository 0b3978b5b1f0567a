"""Arrays from data files: numpy's .npy and, when astropy is installed,
FITS images."""

import numpy as np

from .errors import SendError

_FITS = (".fits", ".fit", ".fts", ".fits.gz")


def is_data_file(path):
    return str(path).lower().endswith((".npy",) + _FITS)


def check(path):
    """The file can be read and holds a picture, before anything is sent.
    A .npy file's header is read alone (its data is mapped, not loaded)."""
    _array(path, mmap_mode="r")


def frames(path):
    yield _array(path)


def _array(path, mmap_mode=None):
    if str(path).lower().endswith(_FITS):
        return _fits(path)
    try:
        array = np.load(path, mmap_mode=mmap_mode, allow_pickle=False)
    except OSError as e:
        raise SendError(f"{path}: {e.strerror or 'not a .npy file'}") from None
    except ValueError:
        raise SendError(f"{path}: not a .npy array ravlon-send can read") from None
    return _picture(path, array)


def _picture(path, array):
    if array.dtype.kind not in "biuf" or not (
            array.ndim == 2 or (array.ndim == 3 and array.shape[2] in (3, 4))):
        raise SendError(f"{path}: an array of {array.dtype}, shape {array.shape}: ravlon-send "
                        "shows numbers H x W (through a colour map) or H x W x 3 (RGB)")
    return array


def _fits(path):
    try:
        from astropy.io import fits
    except ImportError:
        raise SendError(f"{path}: FITS files need astropy (Debian: apt install python3-astropy)") \
            from None
    try:
        with fits.open(path) as hdus:
            data = next((h.data for h in hdus if h.data is not None and h.data.ndim == 2), None)
            if data is None:
                raise SendError(f"{path}: no two-dimensional image in the FITS file")
            # FITS counts rows from the bottom; the window from the top.
            return _picture(path, np.array(data[::-1]))
    except (OSError, ValueError) as e:
        why = getattr(e, "strerror", None) or f"not a FITS file ravlon-send can read: {e}"
        raise SendError(f"{path}: {why}") from None

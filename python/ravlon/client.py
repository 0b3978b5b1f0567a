"""The client side of ravlon's wire protocol over one connection: TCP, or
the local socket on ravlon's own host (connection.py).

The server never answers: a request is done once all its bytes were handed
to the system. Sizes the server would refuse raise ValueError before
anything is sent; network failures raise ConnectionError (an OSError).
"""

import errno
import os
import socket

from . import connection, protocol


def _default_host():
    # ravlon listens on the address its host's name resolves to.
    return os.environ.get("RAVLON_HOST") or socket.gethostname()


def _default_port():
    text = os.environ.get("RAVLON_PORT")
    if not text:
        return protocol.DEFAULT_PORT
    try:
        return int(text)
    except ValueError:
        raise ValueError(f"RAVLON_PORT is not a port number: {text!r}") from None


def _plane(data):
    """The bytes of a bytes-like object, as a flat byte view."""
    view = memoryview(data)
    if not view.contiguous:
        raise ValueError("a plane must be one contiguous block of bytes")
    return view.cast("B") if view.format != "B" or view.ndim != 1 else view


def _check_image_size(width, height):
    if not protocol.valid_image_size(width, height):
        raise ValueError(
            f"image size {width}x{height} is outside what ravlon accepts "
            f"(1 to {protocol.MAX_IMAGE_SIDE} on each side)")


def _check_frame_size(size):
    if not protocol.valid_frame_size(size):
        raise ValueError(
            f"a frame of {size} bytes per plane is larger than ravlon accepts "
            f"(at most {protocol.MAX_FRAME_SIZE})")


class Client:
    """One connection to ravlon.

    host defaults to $RAVLON_HOST, else this host's name; port to
    $RAVLON_PORT, else 9999. This host's names and "localhost" go through
    ravlon's local socket when there is one; "unix:PATH" and "tcp:HOST" go
    where they say. With keyfile, else $RAVLON_KEYFILE, the key that file
    begins with is sent first (OSError when it cannot be read, ValueError
    when it is too short). Leaving a `with` block closes the connection:
    the server then waits for its next client.
    """

    def __init__(self, host=None, port=None, keyfile=None):
        self.host = host if host is not None else _default_host()
        self.port = port if port is not None else _default_port()
        self._size = None  # the image size last sent, for show()
        self._planes = None  # show()'s last planes, reused for the next frame
        self._format = None  # the last typed frame's sample format, None for planes
        self._view = None  # the view request last sent
        keyfile = keyfile if keyfile is not None else os.environ.get("RAVLON_KEYFILE")
        key = connection.read_key(keyfile) if keyfile else None
        self._sock, self._where = connection.open_socket(self.host, self.port)
        if key:
            self._send(protocol.pack(protocol.REQ_KEY), key)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def __del__(self):
        self.close()

    def resize(self, width, height):
        """The next frames are width x height pixels (1 to 8192 each)."""
        _check_image_size(width, height)
        self._send(protocol.pack(protocol.REQ_RESIZE, width, height))
        self._size, self._format = (width, height), None

    def send_rgb(self, r, g, b):
        """One RGB frame from three planes of equal length, column by column:
        the byte of pixel (x, y) is at x * height + y."""
        planes = [_plane(p) for p in (r, g, b)]
        size = planes[0].nbytes
        if any(p.nbytes != size for p in planes):
            raise ValueError("the red, green and blue planes differ in length")
        self._send_rgb(size, planes)

    def send_colmap(self, indices):
        """One colour-mapped frame: an index byte a pixel, column by column."""
        plane = _plane(indices)
        _check_frame_size(plane.nbytes)
        self._send(protocol.pack(protocol.REQ_COLMAP, plane.nbytes), plane)
        self._format = None

    def show(self, array, cmap=None, vmin=None, vmax=None, scale="linear", limits=None):
        """Shows a numpy array, resizing the window when its shape changes.

        H x W x 3 (RGB) and H x W x 4 (RGBA, alpha dropped): uint8 goes as
        it lies, row by row, not copied where it is contiguous; other
        integers are clipped to 0..255; floats 0.0..1.0 are scaled to
        0..255 and rounded, a pixel with NaN or an infinity shows magenta.
        H x W of uint8 with none of the other arguments, or of bool: grey.
        H x W x 1 is taken as H x W.

        Any other H x W array, or one given any of the other arguments, is
        a scalar field shown through the colour map cmap ("gray" unless
        given; "viridis", "magma", "inferno", "turbo", "coolwarm", or a
        matplotlib colour map) between the limits vmin and vmax, those not
        given taken from limits: "minmax" (the default), a percentile such
        as 99.5, which clips both tails (0.5 % at each end), or "zscale".
        scale is "linear", "sqrt", "log" or "asinh". NaN and infinities
        show magenta. The formulas are in ravlon.scalar.

        Fields of uint8, uint16, int16, int32, float32 or float64 with a
        built-in map go with their values, in their byte order, and ravlon
        maps them (its window then tells the value under the pointer, and
        its View menu changes the map and limits): the map, scale and
        limits go in a view request of their own, sent only when they
        change. Other fields are mapped here ("zscale" is ravlon's)."""
        import numpy as np

        from . import arrays, typed

        array = np.asarray(array)
        if array.ndim == 3 and array.shape[2] == 1:
            array = array[:, :, 0]  # one channel is a picture H x W
        sent = typed.frame(array, cmap, vmin, vmax, scale, limits)
        if sent:
            self._show_frame(array, *sent)
            return
        planes = self._planes = arrays.frame_planes(array, cmap, vmin, vmax, scale, limits,
                                                    out=self._planes)
        channels, width, height = planes.shape
        self._size_for(width, height)
        # The planes lie one after the other as the request carries them.
        pieces = [_plane(planes)] * (3 if channels == 1 else 1)
        self._send_rgb(width * height, pieces)

    def region(self, array, x, y):
        """Replaces the rectangle at column x, row y of the last typed frame
        show() sent with array, which has that frame's type and shape but
        for its height and width (an array H x W or H x W x 3/4 as show()
        takes them, of uint8 for colour frames). ValueError for one outside
        the frame or of another type, and nothing is sent."""
        import numpy as np

        from . import typed

        array = np.asarray(array)
        fmt = typed.sample_format(array)
        height, width = array.shape[:2]
        if fmt is None or fmt != self._format:
            raise ValueError(f"a region of {array.dtype}, shape {array.shape}, is not of the "
                             "last typed frame's type" if self._format else
                             "no typed frame to put a region in")
        fw, fh = self._size
        if not (0 <= x <= fw - width and 0 <= y <= fh - height):
            raise ValueError(f"a region {width}x{height} at ({x}, {y}) lies outside the "
                             f"{fw}x{fh} frame")
        self._send(protocol.pack(protocol.REQ_REGION, x, y, width, height, fmt),
                   typed.samples(array))

    def _show_frame(self, array, fmt, view):
        from . import typed

        height, width = array.shape[:2]
        _check_image_size(width, height)
        n = protocol.sample_bytes(width, height, fmt)
        if n < 0:
            raise ValueError(f"a frame of {width}x{height} {array.dtype} samples is larger "
                             f"than ravlon accepts (at most {protocol.MAX_SAMPLE_BYTES} bytes)")
        if view is not None and view != self._view:
            self._send(protocol.pack_view(*view))
            self._view = view
        self._send(protocol.pack(protocol.REQ_FRAME, width, height, fmt), typed.samples(array))
        self._size, self._format = (width, height), fmt

    def show_colmap(self, indices):
        """Shows a numpy array H x W of integer colour indices (clipped to
        0..255) as a colour-mapped frame, resizing the window like show()."""
        from . import arrays

        plane = arrays.column_indices(indices)
        self._size_for(*plane.shape)
        self.send_colmap(plane)

    def _size_for(self, width, height):
        if (width, height) != self._size:
            self.resize(width, height)

    def _send_rgb(self, size, pieces):
        _check_frame_size(size)
        self._send(protocol.pack(protocol.REQ_COLRGB, size), *pieces)
        self._format = None

    def send_request(self, data):
        """Sends the bytes of one whole request as they are, such as a
        recording's."""
        self._send(data)

    def fileno(self):
        """The socket's descriptor, for select(): ravlon never sends, so it
        turns readable only when the server has closed the connection."""
        if self._sock is None:
            raise ConnectionError(errno.ENOTCONN, "not connected to ravlon")
        return self._sock.fileno()

    def disconnect(self):
        """Ends the server (it exits with status 0) and closes the connection."""
        try:
            self._send(protocol.pack(protocol.REQ_DISCONNECT))
        finally:
            self.close()

    def close(self):
        """Closes the connection; the server waits for its next client."""
        sock, self._sock = getattr(self, "_sock", None), None
        if sock is not None:
            sock.close()

    def _send(self, *pieces):
        if self._sock is None:
            raise ConnectionError(errno.ENOTCONN, "not connected to ravlon")
        # One gathering write for the request, its header and its planes
        # together: no segment of its own for the header, no wake-up of
        # ravlon for it. A write the system cuts short goes on from there.
        views = [memoryview(p).cast("B") for p in pieces]
        try:
            while views:
                sent = self._sock.sendmsg(views)
                while views and sent >= len(views[0]):
                    sent -= len(views.pop(0))
                if views:
                    views[0] = views[0][sent:]
        except OSError as e:
            raise ConnectionError(
                f"connection to ravlon at {self._where} lost: {connection.reason(e)}") from e

"""Sending a sequence of frames: fitting, pacing and the progress line."""

import time

from .errors import SendError
from .pictures import fit as fit_to
from .progress import Progress


class Pacer:
    """Waits so that frame k goes out at k / fps seconds; without fps it
    does not wait (as fast as ravlon takes them)."""

    def __init__(self, fps):
        self.period = 1.0 / fps if fps else 0.0
        self.start = time.monotonic()

    def wait(self, k):
        delay = self.start + k * self.period - time.monotonic()
        if delay > 0:
            time.sleep(delay)


def send_frame(client, frame, colmap, mapping):
    # One-channel pictures go with their values, ravlon showing them as
    # mapping (show()'s arguments) asks, or as colour indices.
    try:
        if colmap and frame.ndim == 2:
            client.show_colmap(frame)
        elif frame.ndim == 2:
            client.show(frame, **mapping)
        else:
            client.show(frame)
    except ValueError as e:
        # Only a picture file can be larger than ravlon accepts.
        raise SendError(f"{e}; --fit WxH scales pictures down") from None


def stream(client, frames, fps=None, fit=None, colmap=False, mapping=None):
    """Sends every frame, paced and counted on the progress line."""
    pacer = Pacer(fps)
    progress = Progress()
    count = 0
    try:
        for frame in frames:
            pacer.wait(count)
            send_frame(client, fit_to(frame, fit) if fit else frame, colmap, mapping or {})
            count += 1
            progress.update(count)
    finally:
        progress.finish(count)

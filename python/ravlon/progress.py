"""One line on a terminal that counts the frames sent while a stream runs."""

import sys
import time

_DELAY = 1.0  # a stream shorter than this needs no progress line
_INTERVAL = 0.25  # seconds between two updates of the line


class Progress:
    def __init__(self, out=None):
        self.out = out or sys.stderr
        self.enabled = self.out.isatty()
        self.start = time.monotonic()
        self.last = self.start
        self.shown = False

    def update(self, frames):
        now = time.monotonic()
        if not self.enabled or now - self.start < _DELAY or now - self.last < _INTERVAL:
            return
        self.last = now
        self._write(frames, now)

    def finish(self, frames):
        """Ends the line with the final count, if it was shown at all."""
        if self.shown:
            self._write(frames, time.monotonic())
            self.out.write("\n")
            self.out.flush()

    def _write(self, frames, now):
        rate = frames / (now - self.start)
        self.out.write(f"\rravlon-send: {frames} frames sent, {rate:.1f} frames/s ")
        self.out.flush()
        self.shown = True

"""ravlon-send: shows image files, raw frames or test patterns in ravlon."""

import argparse
import itertools
import re
import select
import signal
import sys

from . import mapping_options, protocol
from .client import Client
from .errors import SendError
from .stream import stream

PROG = "ravlon-send"
DEFAULT_PATTERN_FRAMES = 200
DEFAULT_PATTERN_SIZE = (640, 480)

USAGE = f"""\
{PROG} [-H host] [-p port] [options] FILE...
       {PROG} [-H host] [-p port] [options] --raw WxH [--pix-fmt rgb24|gray] [FILE|-]
       {PROG} [-H host] [-p port] [options] --pattern NAME [-n FRAMES] [--size WxH]
       {PROG} [-H host] [-p port] --replay FILE [--speed FACTOR | --fps N]"""

DESCRIPTION = """\
Shows image files in turn (PNG, JPEG, PNM, TIFF, GIF, BMP), numpy .npy arrays
and FITS images, raw frames (for example from ffmpeg: -f rawvideo -pix_fmt
rgb24) or moving test patterns in ravlon, the image display server, or sends
a stream recorded with ravlon's File > Record Stream... again."""


def image_size(text):
    """A size WxH, each side as ravlon accepts it."""
    m = re.fullmatch(r"(\d+)x(\d+)", text)
    if not m or not protocol.valid_image_size(int(m[1]), int(m[2])):
        raise argparse.ArgumentTypeError(
            f"{text!r} is not a size WIDTHxHEIGHT of 1 to {protocol.MAX_IMAGE_SIDE} on each side")
    return int(m[1]), int(m[2])


def _number(convert, low, high, what):
    def parse(text):
        try:
            value = convert(text)
        except ValueError:
            value = None
        # NaN is no number in range either.
        if value is None or not low <= value <= high:
            raise argparse.ArgumentTypeError(f"{text!r} is not {what}")
        return value

    return parse


class _Parser(argparse.ArgumentParser):
    def error(self, message):
        # One line that names the problem, as for every other mistake.
        self.exit(2, f"{PROG}: {message} (see --help)\n")


def parser():
    p = _Parser(prog=PROG, usage=USAGE, description=DESCRIPTION)
    p.add_argument("files", nargs="*", metavar="FILE",
                   help="image files; with --raw one file, or - (the default) for standard input")
    p.add_argument("-H", "--host",
                   help="ravlon's host, unix:PATH or tcp:HOST (default: $RAVLON_HOST, else this "
                        "host, through ravlon's local socket when there is one)")
    p.add_argument("-p", "--port", type=_number(int, 1, 65535, "a port number"),
                   help="ravlon's port (default: $RAVLON_PORT, else 9999)")
    p.add_argument("--keyfile", metavar="FILE",
                   help="send the key this file begins with (default: $RAVLON_KEYFILE, else none)")
    p.add_argument("--raw", type=image_size, metavar="WxH",
                   help="raw frames of this size (ffprobe tells a video's size)")
    p.add_argument("--pix-fmt", choices=("rgb24", "gray"), default="rgb24",
                   help="the raw frames' pixel format (default: rgb24)")
    p.add_argument("--pattern", choices=("bars", "plasma", "ramp"),
                   help="a moving test pattern")
    p.add_argument("-n", "--frames", type=_number(int, 1, 2**62, "a number of frames"),
                   help=f"frames of the pattern (default: {DEFAULT_PATTERN_FRAMES})")
    p.add_argument("--size", type=image_size, metavar="WxH",
                   help="the pattern's size (default: %dx%d)" % DEFAULT_PATTERN_SIZE)
    p.add_argument("--replay", metavar="FILE",
                   help="send a recording (File > Record Stream...) again at its recorded pace")
    p.add_argument("--speed", type=_number(float, 1e-3, 1e6, "a speed factor"), default=None,
                   metavar="FACTOR", help="replay this many times as fast (default: 1)")
    p.add_argument("--fps", type=_number(float, 1e-3, 1e6, "a number of frames per second"),
                   help="frames per second (default: as fast as ravlon takes them)")
    p.add_argument("--fit", type=image_size, metavar="WxH",
                   help="scale each picture down, keeping its aspect ratio, to fit WxH")
    p.add_argument("--loop", action="store_true", help="repeat the files or the pattern")
    p.add_argument("--hold", type=_number(float, 0, 1e9, "a number of seconds"), metavar="SECONDS",
                   default=0, help="keep the connection this long after the last frame, or until "
                                   "Ctrl-C (default: 0, end with the last frame)")
    p.add_argument("--disconnect", action="store_true",
                   help="end ravlon after the last frame (and --hold)")
    p.add_argument("--colmap", action="store_true",
                   help="send grey pictures as colour-mapped indices (for ravlon -c)")
    mapping_options.add_options(p)
    return p


def check_args(p, a):
    """Options that do not go together are usage errors, found before any
    file is read or the server is reached."""
    if a.replay and (a.raw or a.pattern or a.files or a.loop or a.fit or a.colmap or a.frames
                     or a.size or mapping_options.show_options(a)):
        p.error("--replay sends the recording as it is: no FILE, --raw, --pattern, -n, --size, "
                "--loop, --fit, --colmap or colour-map option")
    if a.speed and not a.replay:
        p.error("--speed goes with --replay")
    if a.speed and a.fps:
        p.error("--speed and --fps exclude each other")
    if a.replay:
        return
    if a.raw and a.pattern:
        p.error("--raw and --pattern exclude each other")
    if a.raw and len(a.files) > 1:
        p.error("--raw reads one FILE or standard input (-)")
    if a.raw and a.loop:
        p.error("--loop repeats files or patterns, not a raw stream")
    if a.pattern and a.files:
        p.error("--pattern takes no FILE")
    if not (a.raw or a.pattern or a.files):
        p.error("no FILE to show (or --raw, or --pattern)")
    if (a.frames or a.size) and not a.pattern:
        p.error("-n and --size go with --pattern")
    mapping_options.check(p, a)


def frames(a):
    """The frames to send, as an iterable, from the arguments."""
    from . import patterns, pictures, raw

    if a.raw:
        name = a.files[0] if a.files else "-"
        stream = sys.stdin.buffer if name == "-" else _open(name)
        return raw.raw_frames(stream, name, *a.raw, a.pix_fmt)
    if a.pattern:
        count = a.frames or DEFAULT_PATTERN_FRAMES
        run = lambda: patterns.pattern_frames(a.pattern, *(a.size or DEFAULT_PATTERN_SIZE), count)
    else:
        pictures.check_files(a.files)
        run = lambda: pictures.file_frames(a.files)
    if a.loop:
        return itertools.chain.from_iterable(run() for _ in itertools.count())
    return run()


def _open(path):
    try:
        return open(path, "rb")
    except OSError as e:
        raise SendError(f"{path}: {e.strerror}") from None


def hold(client, seconds):
    """Keeps the connection for seconds, or until ravlon ends and there is
    nothing left to hold."""
    select.select([client], [], [], seconds)


def sender(a):
    """What sends the frames or the recording to a client, its sources
    opened and checked."""
    if a.replay:
        from . import replay

        requests = replay.open_recording(a.replay)
        return lambda client: replay.replay(client, requests, a.speed or 1.0, a.fps)
    source = frames(a)
    return lambda client: stream(client, source, fps=a.fps, fit=a.fit, colmap=a.colmap,
                                 mapping=mapping_options.show_options(a))


def run(a, send):
    with Client(a.host, a.port, a.keyfile) as client:
        send(client)
        try:
            hold(client, a.hold)
        except KeyboardInterrupt:
            pass  # leaving is the way to end a hold
        if a.disconnect:
            client.disconnect()


def main(argv=None):
    p = parser()
    a = p.parse_args(argv)
    check_args(p, a)
    try:
        send = sender(a)
        # All is loaded and every file checked: from here on Ctrl-C is a
        # KeyboardInterrupt, which ends a hold (status 0) or the stream (130).
        signal.signal(signal.SIGINT, signal.default_int_handler)
        run(a, send)
    except (SendError, OSError, ValueError) as e:
        print(f"{PROG}: {e}", file=sys.stderr)
        return 1
    except KeyboardInterrupt:
        return 130
    return 0

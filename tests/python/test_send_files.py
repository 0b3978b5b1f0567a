"""ravlon-send with image files, against the real ravlon: what Pillow
decodes is what the window shows."""

import struct
import zlib

import numpy as np
import pytest
from PIL import Image

from support import HOST, free_port, interrupt, send, start_send

RNG = np.random.default_rng(5)


def make_picture(path, width, height, mode="RGB", **save):
    shape = (height, width, 3) if mode == "RGB" else (height, width)
    Image.fromarray(RNG.integers(0, 256, shape, dtype=np.uint8), mode).save(path, **save)
    return path


def decoded(path):
    """The picture as Pillow decodes it, H x W x 3."""
    return np.asarray(Image.open(path).convert("RGB"))


@pytest.mark.parametrize("name, mode, save", [
    ("pic.png", "RGB", {}),
    ("pic.jpg", "RGB", {"quality": 80}),
    ("grey.png", "L", {}),
])
def test_a_file_shows_as_pillow_decodes_it(server, tmp_path, name, mode, save):
    path = make_picture(tmp_path / name, 170, 110, mode, **save)
    proc = start_send(str(path), port=server.port)
    assert server.shows(decoded(path))
    # The default hold lasts until Ctrl-C, which is then a normal end.
    assert interrupt(proc) == (0, "")


def test_the_hold_ends_with_ravlon(server, tmp_path):
    path = make_picture(tmp_path / "pic.png", 50, 30)
    proc = start_send(str(path), port=server.port)
    assert server.shows(decoded(path))
    assert server.stop() == 0
    assert proc.wait(20) == 0


def test_several_files_in_turn(server, tmp_path):
    paths = [make_picture(tmp_path / "a.png", 60, 40),
             make_picture(tmp_path / "b.jpg", 80, 50),
             make_picture(tmp_path / "c.gif", 90, 70, "L")]
    done = send("--hold", "0", *map(str, paths), port=server.port)
    assert (done.returncode, done.stderr) == (0, b"")
    # The last picture stays, its lower half cleared once the client left.
    last = decoded(paths[-1]).copy()
    last[35:] = 0
    assert server.shows(last)


def test_fit_scales_a_picture_larger_than_the_screen(server, tmp_path):
    path = make_picture(tmp_path / "big.png", 2400, 1500)
    proc = start_send("--fit", "1000x900", str(path), port=server.port)
    fitted = Image.open(path).resize((1000, 625), Image.Resampling.LANCZOS)
    assert server.shows(np.asarray(fitted))
    assert interrupt(proc) == (0, "")


def test_a_picture_damaged_inside(server, tmp_path):
    path = make_picture(tmp_path / "cut.png", 300, 200)
    path.write_bytes(path.read_bytes()[:5000])
    done = send("--hold", "0", str(path), port=server.port)
    assert done.returncode == 1
    assert done.stderr.decode().startswith(f"ravlon-send: {path}: cannot decode the picture: ")
    assert done.stderr.count(b"\n") == 1


def test_a_picture_larger_than_ravlon_accepts(server, tmp_path):
    path = make_picture(tmp_path / "wide.png", 8193, 2)
    done = send("--hold", "0", str(path), port=server.port)
    assert (done.returncode, done.stderr.decode()) == (1, (
        "ravlon-send: image size 8193x2 is outside what ravlon accepts (1 to 8192 on each side);"
        " --fit WxH scales pictures down\n"))


def test_mistakes_found_before_sending(tmp_path):
    junk = tmp_path / "junk.png"
    junk.write_bytes(b"no picture at all")
    missing = tmp_path / "missing.png"
    port = 1  # nothing listens there: no server is reached
    for args, status, message in [
        ([str(missing)], 1, f"{missing}: No such file or directory"),
        ([str(junk)], 1, f"{junk}: not a picture ravlon-send can read"),
        ([str(tmp_path)], 1, f"{tmp_path}: Is a directory"),
        (["--raw", "0x5"], 2, "argument --raw: '0x5' is not a size WIDTHxHEIGHT of 1 to 8192 on "
                              "each side (see --help)"),
        ([], 2, "no FILE to show (or --raw, or --pattern) (see --help)"),
    ]:
        done = send(*args, port=port)
        assert (done.returncode, done.stderr.decode()) == (status, f"ravlon-send: {message}\n")


def png_header(path, width, height):
    """A PNG that claims width x height RGB pixels and holds none."""
    def chunk(kind, data):
        crc = zlib.crc32(kind + data) & 0xffffffff
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", crc)

    ihdr = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    path.write_bytes(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IEND", b""))
    return path


def test_a_picture_with_more_pixels_than_pillow_opens(tmp_path):
    # Pillow refuses it with an error that is no OSError: still one line.
    path = png_header(tmp_path / "huge.png", 20000, 20000)
    done = send("--hold", "0", str(path), port=1)
    assert done.returncode == 1
    assert done.stderr.decode().startswith(f"ravlon-send: {path}: ")
    assert done.stderr.count(b"\n") == 1


def test_no_server(tmp_path):
    path = make_picture(tmp_path / "pic.png", 10, 10)
    port = free_port()
    done = send(str(path), port=port)
    assert done.returncode == 1
    assert done.stderr.decode() == (
        f"ravlon-send: cannot connect to ravlon at {HOST}:{port}: Connection refused\n")

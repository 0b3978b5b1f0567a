"""ravlon-send with image files, against the real ravlon: what Pillow
decodes is what the window shows."""

import importlib.util
import struct
import zlib
from pathlib import Path

import numpy as np
import pytest
from PIL import Image

from support import HOST, cmap_table as table, free_port, interrupt, send, start_send

RNG = np.random.default_rng(5)


def make_picture(path, width, height, mode="RGB", **save):
    shape = (height, width, 3) if mode == "RGB" else (height, width)
    Image.fromarray(RNG.integers(0, 256, shape, dtype=np.uint8), mode).save(path, **save)
    return path


def decoded(path):
    """The picture as Pillow decodes it, H x W x 3."""
    return np.asarray(Image.open(path).convert("RGB"))


# A hold lasts until Ctrl-C, which is then a normal end, or until ravlon
# ends and there is nothing left to hold; without one, ravlon-send ends with
# its last frame (test_several_files_in_turn). PNG and JPEG share one path.
@pytest.mark.parametrize("name, mode, save, ravlon_ends", [
    ("pic.jpg", "RGB", {"quality": 80}, False),
    ("grey.png", "L", {}, True),
])
def test_a_held_file_shows_as_pillow_decodes_it(server, tmp_path, name, mode, save, ravlon_ends):
    path = make_picture(tmp_path / name, 170, 110, mode, **save)
    proc = start_send("--hold", "1000", str(path), port=server.port)
    assert server.shows(decoded(path))
    if ravlon_ends:
        assert server.stop() == 0
        assert proc.wait(20) == 0
    else:
        assert interrupt(proc) == (0, "")


def test_several_files_in_turn(server, tmp_path):
    paths = [make_picture(tmp_path / "a.png", 60, 40),
             make_picture(tmp_path / "b.jpg", 80, 50),
             make_picture(tmp_path / "c.gif", 90, 70, "L")]
    done = send(*map(str, paths), port=server.port)
    assert (done.returncode, done.stderr) == (0, b"")
    assert server.shows(decoded(paths[-1]))  # whole, after its client has left


def test_fit_scales_a_picture_larger_than_the_screen(server, tmp_path):
    path = make_picture(tmp_path / "big.png", 2400, 1500)
    assert send("--fit", "1000x900", str(path), port=server.port).returncode == 0
    fitted = Image.open(path).resize((1000, 625), Image.Resampling.LANCZOS)
    assert server.shows(np.asarray(fitted))


def test_a_picture_larger_than_ravlon_accepts(server, tmp_path):
    path = make_picture(tmp_path / "wide.png", 8193, 2)
    done = send("--hold", "0", str(path), port=server.port)
    assert (done.returncode, done.stderr.decode()) == (1, (
        "ravlon-send: image size 8193x2 is outside what ravlon accepts (1 to 8192 on each side);"
        " --fit WxH scales pictures down\n"))


def test_scalar_files_through_colour_maps(server, tmp_path):
    index = RNG.integers(0, 256, (80, 100))
    middle = (index + 0.5) / 256  # of each entry's range of values
    depth = (1000 + middle * 4000).astype(np.uint16)
    Image.fromarray(depth).save(tmp_path / "depth.png")  # 16-bit grey
    Image.fromarray(depth).save(tmp_path / "depth.tif")
    np.save(tmp_path / "field.npy", middle ** 2)
    rgb = RNG.integers(0, 256, (80, 100, 3), dtype=np.uint8)
    np.save(tmp_path / "rgb.npy", rgb)
    limits = ["--vmin", "1000", "--vmax", "5000"]
    fits = []
    if importlib.util.find_spec("astropy"):  # optional: FITS counts rows from the bottom
        from astropy.io import fits as astropy_fits
        astropy_fits.PrimaryHDU(depth[::-1].astype(">i4")).writeto(tmp_path / "sky.fits")
        fits = [("sky.fits", limits, table("gray")[index])]
    for name, args, expected in fits + [
        ("depth.png", ["--cmap", "viridis", *limits], table("viridis")[index]),
        ("depth.tif", ["--limits", "99.5", *limits], table("gray")[index]),
        ("field.npy", ["--cmap", "magma", "--scale", "sqrt", "--vmin", "0", "--vmax", "1"],
         table("magma")[index]),
        ("rgb.npy", ["--cmap", "turbo"], rgb),  # colour pictures as they are
    ]:
        done = send(*args, str(tmp_path / name), port=server.port)
        assert (done.returncode, done.stderr) == (0, b"")
        assert server.shows(expected), name  # kept whole after it left


def test_mistakes_and_no_server(tmp_path):
    junk = tmp_path / "junk.png"
    junk.write_bytes(b"no picture at all")
    (tmp_path / "junk.npy").write_bytes(b"no array at all")
    np.save(tmp_path / "cube.npy", np.zeros((2, 3, 4, 5)))
    missing = tmp_path / "missing.png"
    pic = make_picture(tmp_path / "pic.png", 10, 10)
    port = free_port()  # nothing listens there
    fits = tmp_path / "sky.fits"
    fits.write_bytes(b"SIMPLE  =                    T".ljust(2880))
    no_astropy = [] if importlib.util.find_spec("astropy") else [
        ([str(fits)], 1, f"{fits}: FITS files need astropy (Debian: apt install python3-astropy)")]
    for args, status, message in no_astropy + [
        ([str(tmp_path / "junk.npy")], 1, f"{tmp_path}/junk.npy: not a .npy array ravlon-send can "
                                          "read"),
        ([str(tmp_path / "cube.npy")], 1, f"{tmp_path}/cube.npy: an array of float64, shape "
                                          "(2, 3, 4, 5): ravlon-send shows numbers H x W (through "
                                          "a colour map) or H x W x 3 (RGB)"),
        (["--limits", "20", str(pic)], 2, "argument --limits: '20' is neither minmax, zscale "
                                          "nor a percentile above 50 and up to 100 (see --help)"),
        (["--colmap", "--cmap", "gray", str(pic)], 2, "--colmap sends grey bytes as colour "
                                                      "indices: it takes no --cmap, --vmin, --vmax,"
                                                      " --scale or --limits (see --help)"),
        ([str(missing)], 1, f"{missing}: No such file or directory"),
        ([str(junk)], 1, f"{junk}: not a picture ravlon-send can read"),
        ([str(tmp_path)], 1, f"{tmp_path}: Is a directory"),
        (["--raw", "0x5"], 2, "argument --raw: '0x5' is not a size WIDTHxHEIGHT of 1 to 8192 on "
                              "each side (see --help)"),
        ([], 2, "no FILE to show (or --raw, or --pattern) (see --help)"),
        ([str(pic)], 1, f"cannot connect to ravlon at {HOST}:{port}: Connection refused"),
    ]:
        done = send(*args, port=port)
        assert (done.returncode, done.stderr.decode()) == (status, f"ravlon-send: {message}\n")


# Ctrl-C while numpy loads ends ravlon-send quietly too: an import
# interrupted prints a traceback, or comes out as an ImportError.
def test_ctrl_c_while_numpy_loads(tmp_path):
    pic = make_picture(tmp_path / "pic.png", 10, 10)
    for _ in range(3):
        proc = start_send(str(pic), port=free_port())
        maps = Path(f"/proc/{proc.pid}/maps")
        while proc.poll() is None and "_multiarray_umath" not in maps.read_text():
            pass
        assert interrupt(proc) == (130, "")


def truncated(path):
    path = make_picture(path, 300, 200)
    path.write_bytes(path.read_bytes()[:5000])
    return path


def png_header(path):
    """A PNG that claims 20000 x 20000 RGB pixels, more than Pillow opens,
    and holds none."""
    def chunk(kind, data):
        crc = zlib.crc32(kind + data) & 0xffffffff
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", crc)

    ihdr = struct.pack(">IIBBBBB", 20000, 20000, 8, 2, 0, 0, 0)
    path.write_bytes(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IEND", b""))
    return path


# A picture damaged inside fails while it is sent; Pillow refuses the huge
# one with an error that is no OSError. Either is one line.
@pytest.mark.parametrize("make, why", [(truncated, "cannot decode the picture: "),
                                       (png_header, "")])
def test_a_picture_pillow_cannot_decode(server, tmp_path, make, why):
    path = make(tmp_path / "bad.png")
    done = send("--hold", "0", str(path), port=server.port)
    assert done.returncode == 1
    assert done.stderr.decode().startswith(f"ravlon-send: {path}: {why}")
    assert done.stderr.count(b"\n") == 1

"""ravlon-send with raw frames and test patterns, against the real ravlon."""

import subprocess

import numpy as np

import ravlon
from support import Ravlon, send, start_send, wait_until

RNG = np.random.default_rng(7)


def frames(count, width, height, channels=3):
    return RNG.integers(0, 256, (count, height, width, channels), dtype=np.uint8)


def test_grey_raw_frames_as_colour_indices(tmp_path):
    table = tmp_path / "colours"
    table.write_text("0 0 0\n1 0 0\n0 1 0\n0 0 1\n")
    rv = Ravlon("-c", str(table))
    try:
        indices = np.arange(4, dtype=np.uint8).repeat(10).reshape(1, 40).repeat(20, axis=0)
        proc = start_send("--raw", "40x20", "--pix-fmt", "gray", "--colmap", port=rv.port,
                          stdin=subprocess.PIPE)
        proc.stdin.write(indices.tobytes())
        proc.stdin.close()
        colours = np.array([[0, 0, 0], [255, 0, 0], [0, 255, 0], [0, 0, 255]], np.uint8)
        assert rv.shows(colours[indices])
        assert proc.wait(20) == 0  # it ends with its last frame
    finally:
        rv.stop()


def test_raw_frames_from_a_stream_cut_inside_a_frame(server):
    video = frames(4, 30, 20)
    cut = video.tobytes()[:30 * 20 * 3 * 3 + 1000]
    done = send("--raw", "30x20", port=server.port, input=cut)
    assert done.returncode == 1
    assert done.stderr.decode() == (
        "ravlon-send: -: the stream ended inside frame 4 (1000 of 1800 bytes)\n")
    # The whole frames were shown, the last one stays whole after its client
    # left, and ravlon serves the next client.
    assert server.shows(video[2])
    with ravlon.Client(port=server.port) as c:
        c.show(video[1])
        assert server.shows(video[1])


def test_a_file_that_ends_between_frames_then_disconnect(server, tmp_path):
    (tmp_path / "video.rgb").write_bytes(frames(2, 16, 16).tobytes())
    done = send("--raw", "16x16", "video.rgb", "--disconnect", port=server.port, cwd=tmp_path)
    assert (done.returncode, done.stderr) == (0, b"")
    assert server.wait() == 0


def test_a_pattern_of_floats_fitted(server):
    # plasma is made of floats, which Pillow cannot scale as they are.
    done = send("--pattern", "plasma", "-n", "2", "--size", "200x100", "--fit", "100x100",
                "--hold", "0", port=server.port)
    assert (done.returncode, done.stderr) == (0, b"")
    assert wait_until(lambda: server.image(100, 50) is not None)

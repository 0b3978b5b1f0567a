"""Connections of the Python client and ravlon-send over IPv6 and IPv4. A
plain listening socket takes ravlon's place: what arrives is checked byte
for byte."""

import struct
import subprocess

import numpy as np
import pytest

import ravlon
from ravlon.protocol import pack
from support import HOST, SEND, listener, received

PICTURE = np.array([[1, 2, 3, 4], [5, 6, 7, 8]], np.uint8)  # a grey 4 x 2
# What show() sends for it: the view of grey bytes as they are (grey from 0
# to 255), then the frame, row by row.
WIRE = pack(8, 0, 0, 0, 3) + struct.pack(">3d", 0, 0, 255) + pack(6, 4, 2, 3) + PICTURE.tobytes()


def by_client(host, port, tmp_path):
    with ravlon.Client(host, port) as c:
        c.show(PICTURE)


def by_send(host, port, tmp_path):
    np.save(tmp_path / "grey.npy", PICTURE)
    done = subprocess.run([SEND, "-H", host, "-p", str(port), "--hold", "0",
                           str(tmp_path / "grey.npy")], capture_output=True, timeout=60)
    assert (done.returncode, done.stderr) == (0, b"")


@pytest.mark.parametrize("host", ["::1", "127.0.0.1", HOST])
@pytest.mark.parametrize("sender", [by_client, by_send])
def test_frames_arrive_over_either_family(host, sender, tmp_path):
    with listener(host) as ls:
        port = ls.getsockname()[1]
        sender(host, port, tmp_path)
        conn, _ = ls.accept()
        assert received(conn) == WIRE


def test_a_child_process_does_not_hold_the_connection():
    # The socket is close-on-exec: once the client closes it, the server
    # sees the end of the stream though a child started meanwhile still runs.
    with listener("127.0.0.1") as ls:
        c = ravlon.Client("127.0.0.1", ls.getsockname()[1])
        conn, _ = ls.accept()
        child = subprocess.Popen(["sleep", "60"], close_fds=False)
        try:
            c.close()
            conn.settimeout(5)
            assert conn.recv(1) == b""
        finally:
            child.kill()
            child.wait()
            conn.close()

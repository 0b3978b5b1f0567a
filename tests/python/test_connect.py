"""Connections of the Python client and ravlon-send over IPv6, IPv4 and
Unix sockets, with and without a key. A plain listening socket takes
ravlon's place: what arrives is checked byte for byte."""

import struct
import os
import select
import subprocess

import numpy as np
import pytest

import ravlon
from ravlon import protocol
from ravlon.protocol import pack
from support import HOST, SEND, free_port, listener, received, unix_listener

PICTURE = np.array([[1, 2, 3, 4], [5, 6, 7, 8]], np.uint8)  # a grey 4 x 2
# What show() sends for it: the view of grey bytes as they are (grey from 0
# to 255), then the frame, row by row.
WIRE = pack(8, 0, 0, 0, 3) + struct.pack(">3d", 0, 0, 255) + pack(6, 4, 2, 3) + PICTURE.tobytes()
KEY = b"0123456789abcdef"


def by_client(host, port, tmp_path):
    with ravlon.Client(host, port) as c:
        c.show(PICTURE)


def by_send(host, port, tmp_path):
    done = send_grey(tmp_path, "-H", host, "-p", str(port))
    assert (done.returncode, done.stderr) == (0, b"")


def send_grey(tmp_path, *args, env=None):
    np.save(tmp_path / "grey.npy", PICTURE)
    return subprocess.run([SEND, *args, "--hold", "0", str(tmp_path / "grey.npy")],
                          capture_output=True, timeout=60, env=env)


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


def arrived(ls):
    """What a client sent a listener by now: b"" when none came."""
    if ls.fileno() < 0 or not select.select([ls], [], [], 0)[0]:
        return b""
    return received(ls.accept()[0])


# Each address form reaches the socket it names, the key request first:
# this host's names go through ravlon's local socket while one answers
# there, over TCP when it is missing or stale; tcp: never goes through it,
# unix: nowhere else.
@pytest.mark.parametrize("local, host, where", [
    ("live", "", "local"), ("live", "localhost", "local"), ("live", HOST, "local"),
    ("live", "unix:", "local"), ("live", "unix:OTHER", "other"), ("live", "tcp:localhost", "tcp"),
    ("live", "127.0.0.1", "tcp"), ("none", "localhost", "tcp"), ("stale", "localhost", "tcp"),
    ("none", "unix:", "nothing"),
])
def test_address_forms_reach_the_socket_they_name_key_first(local, host, where, tmp_path):
    (tmp_path / "key").write_bytes(KEY + b" and what follows")
    other = str(tmp_path / "other")
    with listener("127.0.0.1") as tcp, unix_listener(other) as elsewhere:
        port = tcp.getsockname()[1]
        os.makedirs(protocol.UNIX_DIR, mode=0o1777, exist_ok=True)  # as ravlon makes it
        path = f"{protocol.UNIX_DIR}/{port}"
        listeners = {"tcp": tcp, "other": elsewhere, "local": unix_listener(path)}
        if local != "live":
            listeners["local"].close()  # its file stays, as that of a ravlon that died
        if local == "none":
            os.unlink(path)
        try:
            try:
                ravlon.Client(host.replace("OTHER", other), port, str(tmp_path / "key")).close()
            except ConnectionError:
                assert where == "nothing"
            for name, ls in listeners.items():
                assert arrived(ls) == (pack(5) + KEY if name == where else b""), name
        finally:
            listeners["local"].close()
            if os.path.lexists(path):
                os.unlink(path)


# A key file that cannot be read or is shorter than a key, named by
# --keyfile or $RAVLON_KEYFILE, and a Unix socket that is not there: one
# line and status 1; the key is read before any connection is tried.
@pytest.mark.parametrize("content, via, host, message", [
    (None, "--keyfile", HOST, "cannot read the key file KEY: No such file or directory"),
    (b"12345", "--keyfile", HOST, "the key file KEY holds 5 bytes, fewer than a key's 16"),
    (b"", "RAVLON_KEYFILE", HOST, "the key file KEY holds 0 bytes, fewer than a key's 16"),
    (None, None, "unix:/nonexistent/ravlon",
     "cannot connect to ravlon at /nonexistent/ravlon: No such file or directory"),
])
def test_key_and_socket_failures_say_why(content, via, host, message, tmp_path):
    keyfile = tmp_path / "key"
    if content is not None:
        keyfile.write_bytes(content)
    args = ["--keyfile", str(keyfile)] if via == "--keyfile" else []
    env = dict(os.environ, RAVLON_KEYFILE=str(keyfile) if via == "RAVLON_KEYFILE" else "")
    done = send_grey(tmp_path, "-H", host, "-p", str(free_port()), *args, env=env)
    expected = f"ravlon-send: {message.replace('KEY', str(keyfile))}\n"
    assert (done.returncode, done.stderr.decode()) == (1, expected)

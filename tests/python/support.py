"""The real ravlon under test, started afresh on a port of its own inside
the test's X session (tests/xsession), and ravlon-send from the source
tree, both run as a user runs them."""

import os
import signal
import socket
import subprocess
import sys
import time

import numpy as np
import xshot

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(SOURCE, "python"))
SEND = os.path.join(SOURCE, "python", "ravlon-send")
HOST = socket.gethostname()


def wait_until(check, seconds=10.0):
    end = time.monotonic() + seconds
    while True:
        if check():
            return True
        if time.monotonic() > end:
            return False
        time.sleep(0.05)


_ports_taken = 0  # by earlier tests of this process, whose ravlon may linger


def free_port():
    """A port below the kernel's ephemeral range, which it never hands out
    by itself, so it stays free until ravlon binds it; tests side by side
    start looking at places set by their process ids, and each test of one
    process takes a port of its own."""
    global _ports_taken
    first, count = 20000, 12000
    for i in range(count):
        port = first + (os.getpid() * 7 + _ports_taken + i) % count
        with socket.socket() as s:
            try:
                s.bind((HOST, port))
            except OSError:
                continue
            _ports_taken += i + 1
            return port
    raise OSError("no free port for ravlon")


class Ravlon:
    """ravlon on a free port, its window found and showing its waiting
    lines."""

    def __init__(self, *args):
        self.port = free_port()
        self.proc = subprocess.Popen(["ravlon", "-p", str(self.port), *args],
                                     executable=os.environ["RAVLON_BINARY"],
                                     stdin=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        found = subprocess.run(["timeout", "20", "xdotool", "search", "--sync", "--onlyvisible",
                                "--name", "^Ravlon$"], capture_output=True, text=True).stdout
        assert found, "ravlon's window did not appear"
        self.window = int(found.split()[0])
        assert wait_until(self.waiting), "no waiting lines"

    def image(self, width, height):
        """The image window's pixels, H x W x 3, or None while the image
        has another size."""
        win = xshot.descendant_of_size(self.window, width, height)
        return xshot.grab(win) if win else None

    def waiting(self):
        """The 256 x 256 start-up image shows its last waiting line over a
        cleared lower half."""
        shot = self.image(256, 256)
        return shot is not None and shot[208:220].any() and not shot[222:].any()

    def shows(self, expected, seconds=10.0):
        """Waits until the image is exactly expected (H x W x 3)."""
        height, width = expected.shape[:2]

        def same():
            shot = self.image(width, height)
            return shot is not None and np.array_equal(shot, expected)

        return wait_until(same, seconds)

    def stop(self):
        """SIGINT is ravlon's own way to quit; returns its exit status."""
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGINT)
        return self.wait()

    def wait(self):
        try:
            self.proc.wait(20)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
        return self.proc.returncode


def cmap_table(name):
    """A colour map's 256 entries as the screen shows them, 256 x 3 bytes."""
    from ravlon import cmaps  # once the source tree is on the path
    return np.rint(cmaps.floats(name) * 255).astype(np.uint8)


def listener(host):
    """A listening socket on host, where a test takes ravlon's place."""
    family, _, _, _, address = socket.getaddrinfo(host, 0, type=socket.SOCK_STREAM)[0]
    s = socket.socket(family)
    s.bind(address)
    s.listen()
    return s


def unix_listener(path):
    """A listening Unix stream socket at path, made afresh."""
    if os.path.lexists(path):
        os.unlink(path)
    s = socket.socket(socket.AF_UNIX)
    s.bind(path)
    s.listen()
    return s


def received(conn):
    """Every byte a connection brings until it ends."""
    with conn:
        conn.settimeout(20)
        return b"".join(iter(lambda: conn.recv(65536), b""))


def send(*args, port, input=None, timeout=60, cwd=None):
    """Runs ravlon-send to completion."""
    return subprocess.run([SEND, "-p", str(port), *args], input=input, capture_output=True,
                          timeout=timeout, cwd=cwd)


def start_send(*args, port, stdin=subprocess.DEVNULL):
    """Starts ravlon-send, for a test that looks while it holds."""
    return subprocess.Popen([SEND, "-p", str(port), *args], stdin=stdin, stderr=subprocess.PIPE)


def interrupt(proc):
    """Ctrl-C, as a user ends ravlon-send's hold; returns (status, stderr)."""
    proc.send_signal(signal.SIGINT)
    proc.wait(20)
    return proc.returncode, proc.stderr.read().decode()

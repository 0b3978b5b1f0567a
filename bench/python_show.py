#!/usr/bin/python3
"""The Python client's show() end to end: numpy arrays 1920 x 1080 RGB uint8
streamed to a real ravlon process, which then gets the disconnect request;
the clock stops when ravlon has exited. Printed beside the C++ client's
figure for the same size and frame count (render_bench --stream-fps).

    bench/python_show.py [--brief] [--ravlon PATH] [--render-bench PATH]
"""

import argparse
import os
import socket
import subprocess
import sys
import time

import numpy as np

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "python"))

import ravlon  # noqa: E402

WIDTH, HEIGHT = 1920, 1080
TARGET = 0.8  # of the C++ client's frames per second


def free_port():
    with socket.socket() as s:
        s.bind((socket.gethostname(), 0))
        return s.getsockname()[1]


def connect(proc, port):
    """A client once ravlon listens; None if it ended first."""
    while proc.poll() is None:
        try:
            return ravlon.Client(port=port)
        except ConnectionError:
            time.sleep(0.02)
    return None


def python_fps(binary, frames):
    pic = np.random.default_rng(1).integers(0, 256, (HEIGHT, WIDTH, 3), dtype=np.uint8)
    port = free_port()
    proc = subprocess.Popen(["ravlon", "-p", str(port)], executable=binary,
                            stdin=subprocess.DEVNULL)
    client = connect(proc, port)
    if client is None:
        return None
    t0 = time.monotonic()
    for _ in range(frames):
        client.show(pic)
    client.disconnect()
    status = proc.wait()
    dt = time.monotonic() - t0
    return frames / dt if status == 0 else None


def cpp_fps(render_bench, frames):
    """The C++ client's figure, or None where render_bench lacks the mode."""
    try:
        done = subprocess.run([render_bench, "--stream-fps", str(WIDTH), str(HEIGHT), str(frames)],
                              capture_output=True, text=True, timeout=600)
        return float(done.stdout) if done.returncode == 0 else None
    except (OSError, ValueError, subprocess.TimeoutExpired):
        return None


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("--brief", action="store_true", help="few frames, for the figures only")
    p.add_argument("--ravlon", default=os.path.join(ROOT, "build/release/ravlon"))
    p.add_argument("--render-bench", default=os.path.join(ROOT, "build/release/bench/render_bench"))
    a = p.parse_args()
    frames = 20 if a.brief else 200
    print(f"end to end: show() of {WIDTH}x{HEIGHT} RGB uint8 arrays from Python, "
          f"beside the C++ client ({frames} frames each)")
    py = python_fps(a.ravlon, frames)
    cpp = cpp_fps(a.render_bench, frames)
    print(f"  Python client (ravlon.Client.show)  {figure(py)}")
    print(f"  C++ client (ravlonclient)           {figure(cpp)}")
    if py and cpp:
        print(f"  Python / C++                        {100 * py / cpp:6.0f} %  "
              f"(target: at least {100 * TARGET:.0f} %)")
    return 0 if py else 1


def figure(fps):
    return f"{fps:6.1f} frames/s" if fps else "  not available"


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/python3
"""The Python client beside the C++ client, and where its time goes.

End to end: 1920 x 1080 frames streamed to a real ravlon process, which then
gets the disconnect request; the clock stops when ravlon has exited. The C++
client (render_bench --stream-fps), Python's show() of RGB uint8 arrays and
Python's send_rgb() of planes made beforehand take turns, round after round,
and each figure is the median of its rounds, so that a change of the
machine's load touches all three alike. Then 3840 x 2160: Python's show()
of an RGB uint8 array, which goes as a row-major frame as it lies, beside
the C client's row-major frames (ravlon_show_rgb, render_bench
--stream-rowmajor-fps), taken in turns alike. In process: the cost of making
the wire's planes from an RGB array and from scalar fields through a colour
map.

    bench/python_show.py [--brief] [--ravlon PATH] [--render-bench PATH]
"""

import argparse
import os
import socket
import statistics
import subprocess
import sys
import time

import numpy as np

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path[:0] = [os.path.join(ROOT, "python"), os.path.join(ROOT, "tests", "python")]

import ravlon  # noqa: E402
import xshot  # noqa: E402
from ravlon import arrays  # noqa: E402

WIDTH, HEIGHT = 1920, 1080
TARGET = 0.8  # of the C++ client's frames per second
TARGET_4K = 0.95  # of the C client's row-major frames per second
RNG = np.random.default_rng(1)
PICTURE = RNG.integers(0, 256, (HEIGHT, WIDTH, 3), dtype=np.uint8)


def free_port():
    with socket.socket() as s:
        s.bind((socket.gethostname(), 0))
        return s.getsockname()[1]


def connect(proc, port):
    """A client once ravlon listens and shows its picture, as the C++
    client's figure starts (frames before that would not be drawn); None
    if it ended first."""
    while proc.poll() is None:
        try:
            client = ravlon.Client(port=port)
            break
        except ConnectionError:
            time.sleep(0.02)
    else:
        return None
    found = subprocess.run(["timeout", "20", "xdotool", "search", "--sync", "--onlyvisible",
                            "--name", "^Ravlon$"], capture_output=True, text=True).stdout.split()
    for _ in range(500):
        image = found and xshot.descendant_of_size(int(found[0]), 256, 256)
        if image and np.ptp(xshot.grab(image)) > 0:
            return client
        time.sleep(0.02)
    return None


def python_fps(binary, frames, send):
    """Frames per second of send(client) repeated frames times, and the
    client's processor time per frame in ms."""
    port = free_port()
    proc = subprocess.Popen(["ravlon", "-p", str(port)], executable=binary,
                            stdin=subprocess.DEVNULL)
    client = connect(proc, port)
    if client is None:
        return None
    t0, cpu0 = time.monotonic(), time.process_time()
    for _ in range(frames):
        send(client)
    client.disconnect()
    cpu = time.process_time() - cpu0
    status = proc.wait()
    dt = time.monotonic() - t0
    return (frames / dt, cpu * 1e3 / frames) if status == 0 else (None, None)


def cpp_fps(render_bench, frames, mode="--stream-fps", size=(WIDTH, HEIGHT)):
    """The C++ client's figure, or None where render_bench lacks the mode."""
    try:
        done = subprocess.run([render_bench, mode, str(size[0]), str(size[1]), str(frames)],
                              capture_output=True, text=True, timeout=600)
        return float(done.stdout) if done.returncode == 0 else None
    except (OSError, ValueError, subprocess.TimeoutExpired):
        return None


def show_rgb(client):
    client.show(PICTURE)


PLANES = arrays.column_planes(PICTURE)


def send_planes(client):
    client._size_for(WIDTH, HEIGHT)
    client.send_rgb(PLANES[0], PLANES[1], PLANES[2])


def end_to_end(a, frames, rounds):
    """Median frames per second of each client, and the median processor
    time per frame of the Python ones."""
    runs = {"cpp": [], "show": [], "planes": [], "show cpu": [], "planes cpu": []}
    for _ in range(rounds):
        runs["cpp"].append(cpp_fps(a.render_bench, frames))
        for key, send in (("show", show_rgb), ("planes", send_planes)):
            fps, cpu = python_fps(a.ravlon, frames, send)
            runs[key].append(fps)
            runs[key + " cpu"].append(cpu)
    return {k: statistics.median(v) if None not in v else None for k, v in runs.items()}


PICTURE_4K = RNG.integers(0, 256, (2160, 3840, 3), dtype=np.uint8)


def row_major_4k(a, frames, rounds):
    """Median frames per second of the C client's row-major 4K frames and
    of Python's show() of the same size."""
    c, py = [], []
    for _ in range(rounds):
        c.append(cpp_fps(a.render_bench, frames, "--stream-rowmajor-fps", (3840, 2160)))
        py.append(python_fps(a.ravlon, frames, lambda client: client.show(PICTURE_4K))[0])
    return tuple(statistics.median(v) if None not in v else None for v in (c, py))


def quickest_ms(make, rounds):
    best = float("inf")
    for _ in range(rounds):
        t0 = time.perf_counter()
        make()
        best = min(best, time.perf_counter() - t0)
    return best * 1e3


def fields():
    """Scalar fields 1920 x 1080 with the arguments they are shown with."""
    smooth = np.sin(np.linspace(0, 20, WIDTH))[np.newaxis, :] * np.linspace(0, 1, HEIGHT)[:, None]
    return [
        ("float64 field, viridis, min-max", smooth, dict(cmap="viridis")),
        ("float32 field, viridis, min-max", smooth.astype(np.float32), dict(cmap="viridis")),
        ("uint16 frame, gray, fixed limits", (smooth * 30000 + 30000).astype(np.uint16),
         dict(vmin=1000, vmax=60000)),
        ("float64 field, magma, 99.5 %, asinh", smooth, dict(cmap="magma", limits=99.5,
                                                             scale="asinh")),
    ]


def in_process(rounds):
    out = np.empty((3, WIDTH, HEIGHT), np.uint8)
    print(f"making the wire's planes in process, as show() does for types and maps ravlon does "
          f"not map itself, {WIDTH}x{HEIGHT} (quickest of {rounds})")
    print("  what                                   ms/frame  ns/pixel")
    costs = [("RGB uint8 (transpose, reused buffer)",
              lambda: arrays.column_planes(PICTURE, out))]
    costs += [(name, lambda f=f, o=o: arrays.frame_planes(f, **o, out=out))
              for name, f, o in fields()]
    for name, make in costs:
        ms = quickest_ms(make, rounds)
        print(f"  {name:38s} {ms:7.2f}  {ms * 1e6 / (WIDTH * HEIGHT):7.2f}")


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("--brief", action="store_true", help="few frames, for the figures only")
    p.add_argument("--ravlon", default=os.path.join(ROOT, "build/release/ravlon"))
    p.add_argument("--render-bench", default=os.path.join(ROOT, "build/release/bench/render_bench"))
    a = p.parse_args()
    frames, rounds = (20, 2) if a.brief else (100, 5)
    print(f"end to end: {WIDTH}x{HEIGHT} RGB frames from Python beside the C++ client "
          f"({frames} frames a run, median of {rounds} rounds taken in turns)")
    fps = end_to_end(a, frames, rounds)
    cpp = fps["cpp"]
    print("  client                                   frames/s  of C++  client CPU ms/frame")
    for key, name in [("cpp", "C++ client (ravlonclient send_rgb)"),
                      ("show", "Python show() of H x W x 3 uint8"),
                      ("planes", "Python send_rgb() of ready planes")]:
        share = f"{100 * fps[key] / cpp:5.0f} %" if fps[key] and cpp else "       "
        cpu = f"{fps[key + ' cpu']:10.2f}" if fps.get(key + " cpu") else ""
        print(f"  {name:38s} {figure(fps[key])} {share} {cpu}")
    c4k, py4k = row_major_4k(a, frames // 2, rounds)
    print(f"end to end: 3840x2160 row-major RGB frames ({frames // 2} frames a run, median of "
          f"{rounds} rounds taken in turns)")
    print("  client                                   frames/s  of C")
    print(f"  {'C client (ravlon_show_rgb, row-major)':38s} {figure(c4k)}")
    share = f"{100 * py4k / c4k:5.0f} %" if py4k and c4k else "       "
    print(f"  {'Python show() of H x W x 3 uint8':38s} {figure(py4k)} {share}  "
          f"(target: at least {100 * TARGET_4K:.0f} %)")
    in_process(5 if a.brief else 20)
    if fps["show"] and cpp:
        print(f"  Python / C++                            {100 * fps['show'] / cpp:6.0f} %  "
              f"(target: at least {100 * TARGET:.0f} %)")
    return 0 if fps["show"] and py4k else 1


def figure(fps):
    return f"{fps:10.1f}" if fps else "       n/a"


if __name__ == "__main__":
    sys.exit(main())

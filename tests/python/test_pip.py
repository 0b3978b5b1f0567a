"""pip install of the package into a fresh virtual environment (Debian's
venv, setuptools and numpy, no package index), then ravlon-send and show()
from it, as the package's user runs them."""

import os
import shutil
import subprocess
import sys

import numpy as np

from support import SOURCE, cmap_table


def run(*args, **kw):
    done = subprocess.run(args, capture_output=True, text=True, timeout=300, **kw)
    assert done.returncode == 0, (args, done.stdout, done.stderr)
    return done.stdout


def test_pip_install_then_send_and_show(server, tmp_path):
    # Built from a copy: pip builds in the tree it is given.
    source = shutil.copytree(os.path.join(SOURCE, "python"), tmp_path / "source",
                             ignore=shutil.ignore_patterns("__pycache__"))
    venv = tmp_path / "venv"
    run(sys.executable, "-m", "venv", "--system-site-packages", str(venv))
    run(str(venv / "bin" / "pip"), "install", "-q", "--no-build-isolation", "--no-index",
        "--disable-pip-version-check", str(source))
    assert "License: MIT" in run(str(venv / "bin" / "pip"), "show", "ravlon")
    assert "--cmap {gray,viridis,magma,inferno,turbo,coolwarm}" in run(
        str(venv / "bin" / "ravlon-send"), "--help")
    index = np.random.default_rng(9).integers(0, 256, (60, 90))
    np.save(tmp_path / "index.npy", index)
    where = run(str(venv / "bin" / "python"), "-c", f"""if 1:
        import numpy, ravlon
        field = (numpy.load("index.npy") + 0.5) / 256
        with ravlon.Client(port={server.port}) as c:
            c.show(field, cmap="viridis", vmin=0, vmax=1)
            print(ravlon.__file__)
        """, cwd=tmp_path, env={k: v for k, v in os.environ.items() if k != "PYTHONPATH"})
    assert where.startswith(str(venv))
    assert server.shows(cmap_table("viridis")[index])  # kept whole after it left

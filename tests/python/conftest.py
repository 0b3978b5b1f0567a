"""Every test gets a ravlon of its own; the package is imported from the
source tree."""

import pytest

from support import Ravlon


@pytest.fixture
def server():
    rv = Ravlon()
    yield rv
    # Nothing a client sent may make ravlon fail or complain.
    assert rv.stop() == 0
    assert rv.proc.stderr.read() == ""

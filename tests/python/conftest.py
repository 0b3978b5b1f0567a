"""Every test gets a ravlon of its own; the package is imported from the
source tree."""

import pytest

from support import Ravlon


@pytest.fixture
def server():
    rv = Ravlon()
    yield rv
    rv.stop()
    rv.proc.stderr.close()

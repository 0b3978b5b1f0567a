"""ravlon-send's entry point: Ctrl-C ends it quietly, with status 130, while
it starts too."""

import os
import signal


def _leave(signum, frame):
    os._exit(130)


def main(argv=None):
    # Until the command has loaded its modules (numpy alone takes a tenth of
    # a second) and checked its files, Ctrl-C ends it at once: a
    # KeyboardInterrupt raised inside an import comes out as a traceback, or
    # turned into an ImportError.
    signal.signal(signal.SIGINT, _leave)
    from . import command

    return command.main(argv)

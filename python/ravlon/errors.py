"""The failure ravlon-send reports in one line on standard error."""


class SendError(Exception):
    """A mistake in what ravlon-send was given: its text is the message."""

"""How a Client reaches ravlon: the address forms, the socket and the key.

"unix:PATH" is the Unix socket PATH ("unix:" alone: the port's local socket
in protocol.UNIX_DIR) and "tcp:HOST" is TCP only ("tcp:" alone: this host's
name). Any other host is reached over TCP, but "", "localhost" and this
host's own name go through the port's local socket first when one answers
there.
"""

import os
import socket
import stat

from . import protocol


def local_socket(port):
    """ravlon's local socket for port."""
    return f"{protocol.UNIX_DIR}/{port}"


def open_socket(host, port):
    """A connected socket and where it leads, in words for messages;
    ConnectionError when it cannot be reached."""
    if host.startswith("unix:"):
        return _unix(host[5:] or local_socket(port))
    own = socket.gethostname()
    if host.startswith("tcp:"):
        return _tcp(host[4:] or own, port)
    if host.lower() in ("", "localhost", own.lower()) and _is_socket(local_socket(port)):
        try:
            return _unix(local_socket(port))
        except ConnectionError:
            pass  # left by a ravlon that died: one may still listen on TCP
    return _tcp(host or own, port)


def read_key(path):
    """The key: the first KEY_BYTES bytes of the file at path."""
    try:
        with open(path, "rb") as f:
            key = f.read(protocol.KEY_BYTES)
    except OSError as e:
        raise OSError(f"cannot read the key file {path}: {e.strerror}") from e
    if len(key) < protocol.KEY_BYTES:
        raise ValueError(f"the key file {path} holds {len(key)} bytes, "
                         f"fewer than a key's {protocol.KEY_BYTES}")
    return key


def _is_socket(path):
    try:
        return stat.S_ISSOCK(os.stat(path).st_mode)
    except OSError:
        return False


def _tcp(host, port):
    # Every address the host has, IPv6 and IPv4, in getaddrinfo's order.
    # The socket is not inherited by child processes (close-on-exec).
    where = f"[{host}]:{port}" if ":" in host else f"{host}:{port}"
    try:
        sock = socket.create_connection((host, port))
    except OSError as e:
        raise _unreachable(where, e) from e
    # Frames go out in a few large writes; a small request must not wait
    # for the acknowledgement of the one before.
    sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    return sock, where


def _unix(path):
    sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    try:
        sock.connect(path)
    except OSError as e:
        sock.close()
        raise _unreachable(path, e) from e
    return sock, path


def _unreachable(where, error):
    return ConnectionError(f"cannot connect to ravlon at {where}: {reason(error)}")


def reason(error):
    """An OSError's own words."""
    return error.strerror or str(error)

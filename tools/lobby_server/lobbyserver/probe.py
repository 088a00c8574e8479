"""Is a lobby server listening at HOST:PORT? One Connection, as the client writes it, and
the answer must be a ConnectACK. Used by the run script before it starts a server."""

import socket
import time

from .content import walk
from .wire import (FrameReader, WireError, decode_int, encode_int, encode_message,
                   encode_text)

# Exit statuses: a lobby server answered; nothing accepts connections there; something
# accepts them but does not answer as a lobby server (not 2, which is a usage error).
ANSWERED, NOTHING_THERE, NOT_A_LOBBY = 0, 1, 3

CONNECT_ACK_ID = 2


def connection_message():
    """A Connection with every field the client's writer fills, in its order."""
    values = [encode_int(1), encode_int(1280), encode_int(768), encode_text("probe"),
              encode_text("1.0"), encode_int(1), encode_int(1), encode_text("0.0.0.0"),
              encode_text("0.0.0.0"), encode_int(25), encode_text("standalone-id:64;lang_code:en"),
              encode_text("bb"), encode_text("probe"), encode_int(1), encode_text("probe"),
              encode_int(0), encode_int(13)]
    return encode_message(0, [(0x80 | i, v) for i, v in enumerate(values)])


def _first_message(sock, deadline):
    """The first whole message from the socket, or a text saying why there is none."""
    framer = FrameReader()
    while True:
        wait = deadline - time.monotonic()
        if wait <= 0:
            return None, "no answer within the time limit"
        sock.settimeout(wait)
        try:
            data = sock.recv(4096)
        except socket.timeout:
            return None, "no answer within the time limit"
        except OSError as err:
            return None, "the connection failed: %s" % (err.strerror or err)
        if not data:
            return None, "it closed the connection without an answer"
        try:
            frames = framer.feed(data)
        except WireError:
            return None, "its answer is not a message of the lobby protocol"
        if frames:
            return frames[0], None


def _result(frame):
    """ConnectACK's result field (tag 1), or None when it has none."""
    try:
        for tag, value, _canonical in walk(frame.content):
            if tag & 0x1F == 1:
                return decode_int(value)[0]
    except WireError:
        pass
    return None


def probe(host, port, timeout=5.0):
    """(exit status, message)."""
    where = "%s:%d" % (host, port)
    deadline = time.monotonic() + timeout
    if not 0 < port < 65536:
        return NOTHING_THERE, "no lobby server at %s: not a port number" % where
    try:
        sock = socket.create_connection((host, port), timeout=timeout)
    except OSError as err:
        return NOTHING_THERE, "no lobby server at %s: %s" % (where, err.strerror or err)
    with sock:
        try:
            sock.sendall(connection_message())
        except OSError as err:
            return NOT_A_LOBBY, "%s is not a lobby server: %s" % (where, err.strerror or err)
        frame, why = _first_message(sock, deadline)
    if frame is None:
        return NOT_A_LOBBY, "%s is not a lobby server: %s" % (where, why)
    if frame.msg_id != CONNECT_ACK_ID:
        return NOT_A_LOBBY, "%s is not a lobby server: it answered with message %d, not a ConnectACK" % (
            where, frame.msg_id)
    result = _result(frame)
    if result is None:
        return NOT_A_LOBBY, "%s is not a lobby server: its ConnectACK has no result" % where
    return ANSWERED, "a lobby server answers at %s (ConnectACK result %d)" % (where, result)

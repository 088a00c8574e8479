"""Client of the server's control channel: one JSON command per line, one answer per line."""

import json
import socket

from tests.patience import PATIENCE


class ControlClient:
    def __init__(self, port, host="127.0.0.1"):
        self.sock = socket.create_connection((host, port), timeout=PATIENCE)
        self.stream = self.sock.makefile("rb")

    def line(self, data):
        """Sends raw bytes (a line or not) and returns the decoded answer line."""
        self.sock.sendall(data)
        answer = self.stream.readline()
        if not answer:
            raise ConnectionError("control connection closed")
        return json.loads(answer)

    def command(self, cmd, **fields):
        return self.line((json.dumps(dict(cmd=cmd, **fields)) + "\n").encode())

    def ok(self, cmd, **fields):
        """A command that must succeed; returns its answer."""
        answer = self.command(cmd, **fields)
        if not answer.get("ok"):
            raise AssertionError("%s failed: %s" % (cmd, answer.get("error")))
        return answer

    def close(self):
        self.stream.close()
        self.sock.close()

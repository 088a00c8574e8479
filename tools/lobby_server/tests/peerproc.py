"""Runs peer.py as its own process: commands in as JSON lines, its lines read back."""

import json
import os
import select
import subprocess
import sys
import time

from tests.patience import PATIENCE

PEER = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "peer.py")


class PeerProcess:
    def __init__(self, lobby_port):
        self.proc = subprocess.Popen([sys.executable, PEER, "--port", str(lobby_port)], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.lines = []      # every line read so far, in order
        self._buf = b""
        self._ended = False  # its output ended: it has quit or died

    def command(self, cmd, **fields):
        self.proc.stdin.write((json.dumps(dict(cmd=cmd, **fields)) + "\n").encode())
        self.proc.stdin.flush()

    def _read(self, deadline):
        wait = deadline - time.monotonic()
        if wait <= 0:
            return False
        ready, _, _ = select.select([self.proc.stdout], [], [], wait)
        if not ready:
            return False
        chunk = os.read(self.proc.stdout.fileno(), 65536)
        if not chunk:
            self._ended = True
            return False
        self._buf += chunk
        while b"\n" in self._buf:
            line, self._buf = self._buf.split(b"\n", 1)
            self.lines.append(json.loads(line))
        return True

    def wait_for(self, match, count=1, timeout=PATIENCE):
        """The first count lines for which match(line) holds; fewer when time runs out or the
        peer has ended."""
        deadline = time.monotonic() + timeout
        while True:
            found = [line for line in self.lines if match(line)]
            if len(found) >= count or not self._read(deadline):
                return found[:count] if len(found) >= count else found

    def received(self, name, conn=None, count=1, timeout=PATIENCE, **fields):
        """Waits for count received messages of that name whose fields match; their fields."""
        def match(line):
            return (line["event"] == "in" and line["name"] == name and (conn is None or line["conn"] == conn)
                    and all(line["fields"].get(k) == v for k, v in fields.items()))
        found = self.wait_for(match, count, timeout)
        if len(found) < count:
            raise AssertionError("peer got %d of %d %s %r; its lines: %r%s" % (len(found), count, name, fields,
                                                                              self.lines[-12:], self._ending()))
        return [line["fields"] for line in found]

    def events(self, event, count=1, timeout=PATIENCE):
        """The lines of that event once count of them came (or time ran out)."""
        self.wait_for(lambda line: line["event"] == event, count, timeout)
        return [line for line in self.lines if line["event"] == event]

    def _ending(self):
        """How the peer ended, with what it printed, when it has."""
        if not self._ended:
            return ""
        self.proc.wait(PATIENCE)
        return "; it ended (exit status %d): %s" % (self.proc.returncode, self.proc.stderr.read().decode())

    def stop(self):
        if self.proc.poll() is None:
            try:
                self.command("quit")
            except (BrokenPipeError, OSError):
                pass
            try:
                self.proc.wait(PATIENCE)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        for stream in (self.proc.stdin, self.proc.stdout, self.proc.stderr):
            stream.close()

"""Starts the server as its own process on ephemeral loopback ports for one test."""

import json
import os
import resource
import select
import signal
import socket
import subprocess
import sys
import tempfile
import time

from lobbyserver.accounts import AccountStore
from tests import rawclient as rc
from tests.patience import PATIENCE

SERVER = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "server.py")


def stored_accounts(path):
    """The accounts a store holds, its connection closed again."""
    store = AccountStore(path)
    store.close()
    return store.accounts


class ServerProcess:
    def __init__(self, *args, strict=True, workdir=None, descriptors=None):
        """descriptors: (soft, hard) limit of the server's open descriptors."""
        self._temp = None
        if workdir is None:
            self._temp = tempfile.TemporaryDirectory(prefix="lobby-test-")
            workdir = self._temp.name
        self.workdir = workdir
        self.log_path = os.path.join(workdir, "server-%d.log" % time.monotonic_ns())
        cmd = [sys.executable, SERVER, "--port", "0", "--game-port", "0", "--log", self.log_path]
        if strict:
            cmd.append("--strict")
        # The server ends with its standard input, so a test killed by a time-out takes it along.
        cmd.append("--exit-with-stdin")
        limit = None if descriptors is None else (
            lambda: resource.setrlimit(resource.RLIMIT_NOFILE, descriptors))
        self.proc = subprocess.Popen(cmd + list(args), stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE, preexec_fn=limit)
        line = self._ready_line()
        info = json.loads(line)
        self.lobby_port = info["lobby_port"]
        self.game_port = info["game_port"]
        self.control_port = info.get("control_port")
        self.ready = info
        self.skipped = 0    # log records the tests no longer look at: earlier tests' on a shared server

    def _ready_line(self):
        """The server's first line, once it has written it; a server that ends first fails at
        once with its standard error, and only one silent for PATIENCE is killed."""
        ready, _, _ = select.select([self.proc.stdout], [], [], PATIENCE)
        line = self.proc.stdout.readline() if ready else b""
        if line:
            return line
        if self.proc.poll() is None:
            self.proc.kill()
        self.proc.wait()
        error = self.proc.stderr.read().decode()
        status = self.proc.returncode
        self.stop()
        raise RuntimeError("server did not start (exit status %d): %s" % (status, error))

    def events(self, kind=None):
        # A last line without its end is still being written: it is read on the next call.
        with open(self.log_path, encoding="utf-8") as f:
            records = [json.loads(line) for line in f if line.endswith("\n") and line.strip()][self.skipped:]
        return [r for r in records if kind is None or r["event"] == kind]

    def violations(self):
        return self.events("violation")

    def wait_for(self, kind, count=1, timeout=PATIENCE, **match):
        """Waits until the log holds count records of kind whose fields match."""
        deadline = time.monotonic() + timeout
        while True:
            found = [r for r in self.events(kind) if all(r.get(k) == v for k, v in match.items())]
            if len(found) >= count or time.monotonic() > deadline:
                return found
            time.sleep(0.02)

    def wait_stopping(self, timeout=PATIENCE):
        """Waits until the lobby port refuses connects: a stop closes the listeners first."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            try:
                socket.create_connection(("127.0.0.1", self.lobby_port), timeout=PATIENCE).close()
            except (ConnectionRefusedError, ConnectionResetError):   # a connect queued as the listener closed is reset
                return True
            time.sleep(0.02)
        return False

    def kill(self):
        self.proc.kill()
        self.proc.wait()

    def stop(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(PATIENCE)
            except subprocess.TimeoutExpired:
                self.kill()
        for stream in (self.proc.stdin, self.proc.stdout, self.proc.stderr):
            stream.close()
        if self._temp is not None:
            self._temp.cleanup()
            self._temp = None
        return self.proc.returncode


class StoreCase:
    """Mixin for unittest.TestCase: servers started on a store in a folder of the test's own
    (self.path, an older server's accounts.json: the database is accounts.sqlite3 beside it)."""

    def setUp(self):
        temp = tempfile.TemporaryDirectory(prefix="lobby-store-")
        self.addCleanup(temp.cleanup)
        self.dir = temp.name
        self.path = os.path.join(self.dir, "accounts.json")

    def start(self, *args):
        server = ServerProcess("--accounts", self.path, *args, workdir=self.dir)
        self.addCleanup(server.stop)
        return server

    def connect(self, server):
        client = rc.connected(server.lobby_port)
        self.addCleanup(client.close)
        return client


class ServerTestCase:
    """Mixin for unittest.TestCase: a strict server per test, and no protocol violation
    allowed unless the test says which ones it expects."""

    server_args = ()
    server_descriptors = None

    def setUp(self):
        self.server = ServerProcess(*self.server_args, descriptors=self.server_descriptors)
        self.expected_violations = 0
        self._clients = []
        self.addCleanup(self._finish)

    def track(self, client):
        self._clients.append(client)
        return client

    def _finish(self):
        for client in self._clients:
            client.close()
        violations = self.server.violations()
        faults = self.server.events("internal_error")
        self.server.stop()
        self.assertEqual(len(violations), self.expected_violations, violations)
        self.assertEqual(faults, [])


class SharedServerTestCase(ServerTestCase):
    """ServerTestCase with one server per class, for tests whose state ends with their
    connections: each test waits until the server has closed them all, and answers for the
    violations logged while it ran."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.server = ServerProcess(*cls.server_args, descriptors=cls.server_descriptors)
        cls.addClassCleanup(cls.server.stop)

    def setUp(self):
        self.server.skipped += len(self.server.events())
        self.expected_violations = 0
        self._clients = []
        self.addCleanup(self._finish)

    def _finish(self):
        for client in self._clients:
            client.close()
        opened = len(self.server.events("open"))
        self.assertGreaterEqual(len(self.server.wait_for("close", opened)), opened, "connections left open")
        violations = self.server.violations()
        self.assertEqual(len(violations), self.expected_violations, violations)
        self.assertEqual(self.server.events("internal_error"), [])

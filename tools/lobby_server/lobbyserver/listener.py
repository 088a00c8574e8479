"""Accepting client connections within the process's descriptors.

asyncio's own accept loop, once the process is out of descriptors, reports every failed
accept through the loop's exception handler, a traceback each (up to a hundred per wake-up,
each scheduling another retry a second later), and leaves the connections it could not take
in the kernel's queue. Written to a standard error that is a pipe nobody empties, the
tracebacks soon fill it, and the write that blocks then holds up the whole event loop: no
connection is served or closed again. Written to a file, they fill the disk instead, and
the loop spends its time on them. Here every connection above a cap is accepted and closed
at once, the cap leaves room for the log, the store and the connections being served, and
refusals are counted in the log, a line per interval.
"""

import asyncio
import collections
import errno
import os
import resource
import socket

# Descriptors kept free beyond those open at the start: the listening sockets, a log rotation,
# the store's journal and temporary files, a mail being written.
DESCRIPTOR_MARGIN = 32
# The share of the cap that connections not logged in yet may hold: a peer that opens
# connections and never logs in cannot keep the others out.
WAITING_SHARE = 0.5
LEAVING_MAX = DESCRIPTOR_MARGIN // 2   # connections closed for room whose descriptors are not free yet
LISTEN_BACKLOG = 100
ACCEPT_BATCH = 100          # accepts per wake-up of a listener, as asyncio's
ACCEPT_RETRY_DELAY = 0.5    # seconds before accepting again when the system gave no descriptor
REFUSAL_LOG_INTERVAL = 10.0  # seconds between the lines counting refused connections
_NO_DESCRIPTOR = (errno.EMFILE, errno.ENFILE, errno.ENOBUFS, errno.ENOMEM)


def raise_descriptor_limit():
    """Raises the process's soft limit of open descriptors to its hard limit; returns the
    limit in force."""
    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    if soft != hard:
        try:
            resource.setrlimit(resource.RLIMIT_NOFILE, (hard, hard))
            soft = hard
        except (ValueError, OSError):   # an unlimited hard limit cannot be the soft one
            pass
    return soft


def open_descriptors():
    for folder in ("/proc/self/fd", "/dev/fd"):
        try:
            return len(os.listdir(folder))
        except OSError:
            continue
    return DESCRIPTOR_MARGIN


class ConnectionBudget:
    """How many client connections may be open at once, and what was refused. Connections
    that have not logged in (lobby) or joined their match (game) hold at most WAITING_SHARE
    of the cap: a new one beyond that closes the one that has waited longest."""

    def __init__(self, log, cap):
        self.log = log
        self.cap = max(1, cap)
        self.waiting_cap = max(1, int(self.cap * WAITING_SHARE))
        self.open = 0
        self.refused = collections.Counter()   # since the last "refused" line
        self._timer = None
        self._waiting = collections.OrderedDict()   # connections not logged in, oldest first
        self._leaving = set()   # closed to make room, their slots free already

    def take(self):
        if self.open - len(self._leaving) >= self.cap:
            # The descriptors of those closed for room are free only once the loop has run:
            # a burst may not go further past the cap than the margin leaves.
            if not self._waiting or len(self._leaving) >= LEAVING_MAX:
                return False
            self._make_room()
        self.open += 1
        return True

    def release(self):
        self.open -= 1

    def waiting(self, conn):
        self._waiting[conn] = None
        while len(self._waiting) > self.waiting_cap:
            self._make_room()

    def admitted(self, conn):
        self._waiting.pop(conn, None)

    def closed(self, conn):
        self._waiting.pop(conn, None)
        self._leaving.discard(conn)

    def _make_room(self):
        conn, _ = self._waiting.popitem(last=False)
        self._leaving.add(conn)
        conn.close("not logged in, room made for a newer connection", abort=True)
        self.refuse("not_logged_in")

    def refuse(self, why):
        self.refused[why] += 1
        if self._timer is None:
            # The first refusal is told at once, later ones in one line per interval.
            self.flush()
            self._timer = asyncio.get_running_loop().call_later(REFUSAL_LOG_INTERVAL, self._interval_ended)

    def _interval_ended(self):
        self._timer = None
        self.flush()

    def flush(self):
        if self.refused:
            self.log.write("refused", counts=dict(self.refused), open=self.open, cap=self.cap)
            self.refused.clear()

    def stop(self):
        if self._timer is not None:
            self._timer.cancel()
            self._timer = None
        self.flush()


class Listener:
    """A listening socket whose connections go to handler(reader, writer) as with
    asyncio.start_server, each only when the budget takes it; make_reader() gives each its
    StreamReader."""

    def __init__(self, host, port, handler, budget, make_reader=asyncio.StreamReader):
        family = socket.getaddrinfo(host or None, port, type=socket.SOCK_STREAM, flags=socket.AI_PASSIVE)[0][0]
        self._sock = socket.create_server((host, port), family=family, backlog=LISTEN_BACKLOG)
        self._sock.setblocking(False)
        self._handler = handler
        self._budget = budget
        self._make_reader = make_reader
        self._loop = asyncio.get_running_loop()
        self._retry = None
        self._closed = False
        self._loop.add_reader(self._sock.fileno(), self._accept)

    @property
    def port(self):
        return self._sock.getsockname()[1]

    def close(self):
        if self._closed:
            return
        self._closed = True
        if self._retry is not None:
            self._retry.cancel()
        else:
            self._loop.remove_reader(self._sock.fileno())
        self._sock.close()

    def _accept(self):
        for _ in range(ACCEPT_BATCH):
            try:
                sock, _peer = self._sock.accept()
            except (BlockingIOError, InterruptedError):
                return
            except ConnectionAbortedError:
                continue
            except OSError as err:
                # No descriptor even for a refusal: the kernel queues the connections meanwhile.
                self._budget.refuse("no_descriptor" if err.errno in _NO_DESCRIPTOR else "accept_failed")
                self._loop.remove_reader(self._sock.fileno())
                self._retry = self._loop.call_later(ACCEPT_RETRY_DELAY, self._resume)
                return
            if not self._budget.take():
                sock.close()   # at once: the client sees the end instead of waiting unanswered
                self._budget.refuse("at_cap")
                continue
            asyncio.ensure_future(self._serve(sock))

    def _resume(self):
        self._retry = None
        if not self._closed:
            self._loop.add_reader(self._sock.fileno(), self._accept)

    async def _serve(self, sock):
        started = False

        async def run(reader, writer):
            nonlocal started
            started = True
            try:
                await self._handler(reader, writer)
            finally:
                self._budget.release()

        def protocol():
            return asyncio.StreamReaderProtocol(self._make_reader(), run)
        try:
            sock.setblocking(False)
            await self._loop.connect_accepted_socket(protocol, sock)
        except BaseException as err:
            if not started:
                sock.close()
                self._budget.release()
            if not isinstance(err, Exception):   # a stop cancels it
                raise
            # Otherwise a peer gone before its transport was made: nothing to serve.

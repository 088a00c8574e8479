"""One client connection: reads and frames its stream, runs its timers (idle probe and
close, incomplete message, handshake, login, redirect) and bounds what waits to be sent to it.

Writes never block the caller: a relay from another connection only appends to this
transport's buffer. A connection whose buffer passes the bound, or that stays above the
transport's high-water mark longer than the drain time-out, is closed.

For the client's tests the control channel can hold back the answers of chosen message
ids and have the output cut into small pieces, each written and drained on its own.
"""

import asyncio
import collections
import os
import time

from . import messages
from .catalogue import loggable_bytes, name_of
from .wire import FrameReader, FramingError


def _message_id(data):
    """The id a message's identifier names, or None for bytes that start no message."""
    if len(data) >= 2 and data[0] == 0xBF:
        return data[1]
    if data and data[0] & 0xE0 == 0xA0 and data[0] != 0xBF:
        return data[0] & 0x1F
    return None


class StampedReader(asyncio.StreamReader):
    """Notes when each piece of the stream arrived. A connection handles its messages one
    after the other, so a message may be read well after it came (its connection waiting
    for the store meanwhile): its time limits count from its arrival."""

    def __init__(self):
        super().__init__()
        self._fed = 0
        self._arrivals = collections.deque()   # (stream offset after the piece, time.monotonic())

    def feed_data(self, data):
        super().feed_data(data)
        if data:
            self._fed += len(data)
            self._arrivals.append((self._fed, time.monotonic()))

    def arrival(self, end):
        """When the byte before stream offset end arrived; the pieces before it are forgotten
        (asked for in the stream's order)."""
        while len(self._arrivals) > 1 and self._arrivals[0][0] < end:
            self._arrivals.popleft()
        return self._arrivals[0][1]


class Connection:
    def __init__(self, server, kind, number, reader, writer, service):
        self.server = server
        self.cfg = server.cfg
        self.log = server.log
        self.kind = kind
        self.name = "%s%d" % (kind, number)
        self.reader = reader
        self.writer = writer
        self.service = service
        self.framer = FrameReader(self.cfg.max_frame)
        self._framed = 0              # stream offset after the last whole message read
        self.request_at = None        # time.monotonic() the message being handled arrived
        self.answering = None         # the task of the request being answered, while it waits
        self.closed = False
        self.close_reason = None
        self.state = None             # the service's per-connection record
        self.identified = False       # Connection (lobby) or GameReady (game) seen
        self.admitted = False         # logged in (lobby) or in its match (game)
        self._login_extended = False
        self.redirect_deadline = None
        self._drain_task = None
        self.holds = set()            # message ids whose answers wait for a release
        self.held = []                # (id, bytes, fields) in the order they were held
        self.chunk_sizes = []         # piece sizes of the output, cycling; empty: whole writes
        self._chunk_at = 0
        self._pieces = bytearray()    # output waiting for the piece writer
        self._pump_task = None
        loop = asyncio.get_running_loop()
        self._loop = loop
        self.opened_at = loop.time()
        self.login_from = self.opened_at   # the login deadline counts from here
        self.last_rx = self.opened_at
        self.probe_sent = False
        self.partial_since = None
        peer = writer.get_extra_info("peername")
        self.peer = "%s:%s" % peer[:2] if peer else "?"

    # ---- reading ----

    async def run(self):
        self.log.write("open", conn=self.name, peer=self.peer)
        self.server.budget.waiting(self)
        self.service.on_open(self)
        reason = "closed by server"
        try:
            while not self.closed:
                wait = max(0.0, self._next_deadline() - self._loop.time())
                try:
                    data = await asyncio.wait_for(self.reader.read(65536), wait)
                except asyncio.TimeoutError:
                    self._deadline_passed()
                    continue
                except (ConnectionError, OSError) as err:
                    reason = "read failed: %s" % err
                    break
                if not data:
                    reason = "peer closed"
                    if self.framer.pending and not self.closed:
                        total = self.framer.expected
                        self.log.violation(self, "truncated (%d of %s bytes)" % (
                            self.framer.pending, total if total else "?"),
                            loggable_bytes(_message_id(self.framer.buf), self.framer.buf[:16]))
                    break
                await self._received(data)
                if self._drain_task is not None and not self.closed:
                    await asyncio.shield(self._drain_task)
        finally:
            self.close(self.close_reason or reason)
            try:
                self.service.on_close(self)
            finally:
                self.log.write("close", conn=self.name, reason=self.close_reason)

    async def _received(self, data):
        now = self._loop.time()
        self.last_rx = now
        self.probe_sent = False
        fault = None
        if self.cfg.capture:
            self._capture("in", data)
        try:
            frames = self.framer.feed(data)
        except FramingError as err:
            frames, fault = err.frames, err
        for frame in frames:
            if self.closed:
                return
            self._framed += len(frame.data)
            self.request_at = self.reader.arrival(self._framed)
            pending = self.service.on_frame(self, frame)
            if pending is not None:
                # Seen by a stop, which lets the request be answered before it closes.
                self.answering = asyncio.ensure_future(pending)
                try:
                    await self.answering
                finally:
                    self.answering = None
                if self.server.stopping:
                    return
        if fault is not None:
            self.log.violation(self, "framing: %s" % fault.reason, fault.data)
            self.close("framing error")
            return
        if not self.framer.pending:
            self.partial_since = None
        elif frames or self.partial_since is None:
            self.partial_since = now

    # ---- timers ----

    def _deadlines(self):
        cfg = self.cfg
        yield self.last_rx + cfg.idle_close, "idle"
        if not self.probe_sent:
            yield self.last_rx + cfg.idle_probe, "probe"
        if self.partial_since is not None:
            yield self.partial_since + cfg.partial_timeout, "partial"
        if not self.identified:
            yield self.opened_at + cfg.handshake_timeout, "handshake"
        if not self.admitted:
            yield self.login_from + cfg.login_timeout, "login"
        if self.redirect_deadline is not None:
            yield self.redirect_deadline, "redirect"

    def _next_deadline(self):
        return min(when for when, _what in self._deadlines())

    def _deadline_passed(self):
        now = self._loop.time()
        for when, what in sorted(self._deadlines()):
            if when > now or self.closed:
                continue
            if what == "probe":
                self.probe_sent = True
                self.send(messages.alive(0), {"value": 0})
            elif what == "partial":
                self.log.violation(self, "incomplete message for %.1f s (%d of %s bytes)" % (
                    self.cfg.partial_timeout, self.framer.pending, self.framer.expected or "?"))
                self.close("incomplete message")
            elif what == "idle":
                self.close("idle for %.1f s" % self.cfg.idle_close)
            elif what == "handshake":
                self.close("no %s within %.1f s" % (
                    "Connection" if self.kind == "L" else "GameReady", self.cfg.handshake_timeout))
            elif what == "redirect":
                self.close("redirected")
            elif what == "login":
                self.close("no %s within %.1f s" % (
                    "login" if self.kind == "L" else "GameReady", self.cfg.login_timeout))

    def registering(self):
        """A registration under way (its name confirmed) gets the whole login time again for
        the rest of its form, once per connection."""
        if not self._login_extended:
            self._login_extended = True
            self.login_from = self._loop.time()

    def admit(self):
        """Logged in (lobby) or in its match (game): no longer one of the connections that
        make room for newer ones or close at the login deadline."""
        if not self.admitted:
            self.admitted = True
            self.server.budget.admitted(self)

    def logged_out(self):
        """Not logged in again: within the share of those that make room for newer ones, and
        closed at the login deadline counted from now."""
        if self.admitted:
            self.admitted = False
            self.login_from = self._loop.time()
            self.server.budget.waiting(self)

    # ---- writing ----

    def send(self, data, fields=None):
        """Queues one whole message; never waits. Answers of a held id wait for release."""
        if self.closed:
            return False
        msg_id = _message_id(data)
        if msg_id in self.holds or msg_id in self.server.holds:
            self.held.append((msg_id, data, fields))
            self.log.write("held", conn=self.name, id=msg_id, name=name_of(msg_id))
            return True
        return self._emit(data, fields)

    def release(self, msg_id):
        """Writes the held answers of msg_id in their order; returns how many."""
        self.holds.discard(msg_id)
        released = [entry for entry in self.held if entry[0] == msg_id]
        self.held = [entry for entry in self.held if entry[0] != msg_id]
        for _id, data, fields in released:
            self._emit(data, fields)
        return len(released)

    def send_direct(self, data, fields=None):
        """Bytes from the control channel, never held; without fields they are logged as
        bytes, since they may be no valid message."""
        return self._emit(data, fields, raw=fields is None)

    def room(self):
        """Bytes that may still be queued before the output bound is passed."""
        return self.cfg.max_output - self.writer.transport.get_write_buffer_size() - len(self._pieces)

    def _emit(self, data, fields, raw=False):
        if self.closed:
            return False
        record = {"conn": self.name}
        msg_id = _message_id(data)
        if msg_id is not None:
            record.update(id=msg_id, name=name_of(msg_id))
        if fields is not None:
            record["fields"] = fields
        if raw:
            record["bytes"] = bytes(data)
        self.log.write("out", **record)
        if self.cfg.capture:
            self._capture("out", data)
        if self.chunk_sizes or self._pump_task is not None:
            self._pieces += data
            if self._pump_task is None:
                self._pump_task = asyncio.ensure_future(self._pump())
        else:
            try:
                self.writer.write(data)
            except (ConnectionError, OSError, RuntimeError):
                self.close("write failed")
                return False
        buffered = self.writer.transport.get_write_buffer_size() + len(self._pieces)
        if buffered > self.cfg.max_output:
            self.log.violation(self, "output not read: %d bytes waiting" % buffered)
            self.close("output bound exceeded", abort=True)
            return False
        if buffered and self._drain_task is None and self._pump_task is None:
            self._drain_task = asyncio.ensure_future(self._drain())
        return True

    def _capture(self, direction, data):
        """The connection's bytes as they pass, appended to CAPTURE/<conn>-<direction>.bin."""
        with open(os.path.join(self.cfg.capture, "%s-%s.bin" % (self.name, direction)), "ab") as f:
            f.write(data)

    def set_chunks(self, sizes):
        self.chunk_sizes = list(sizes)
        self._chunk_at = 0

    async def _pump(self):
        """Writes the queued output piece by piece, each drained, with a short pause so
        that the peer reads one piece at a time. Ends once chunking is off and all is out."""
        try:
            while self._pieces and not self.closed:
                if self.chunk_sizes:
                    size = self.chunk_sizes[self._chunk_at % len(self.chunk_sizes)]
                    self._chunk_at += 1
                else:
                    size = len(self._pieces)
                piece = bytes(self._pieces[:size])
                del self._pieces[:size]
                self.writer.write(piece)
                await asyncio.wait_for(self.writer.drain(), self.cfg.drain_timeout)
                if self.chunk_sizes:
                    await asyncio.sleep(0.002)
        except asyncio.TimeoutError:
            self.log.violation(self, "output not drained within %.1f s" % self.cfg.drain_timeout)
            self.close("output not drained", abort=True)
        except (ConnectionError, OSError, RuntimeError):
            self.close("write failed", abort=True)
        finally:
            self._pump_task = None
            if self.closed:
                self._pieces.clear()   # the peer is gone: what was still queued is dropped

    async def _drain(self):
        try:
            await asyncio.wait_for(self.writer.drain(), self.cfg.drain_timeout)
        except asyncio.TimeoutError:
            self.log.violation(self, "output not drained within %.1f s" % self.cfg.drain_timeout)
            self.close("output not drained", abort=True)
        except (ConnectionError, OSError, RuntimeError):
            pass
        finally:
            self._drain_task = None

    def close(self, reason, abort=False):
        if self.closed:
            return
        self.closed = True
        self.close_reason = reason
        self.held.clear()
        if self._pump_task is not None:
            self._pump_task.cancel()
            self._pieces.clear()
        transport = self.writer.transport
        if abort:
            transport.abort()
            return
        try:
            self.writer.close()
        except (ConnectionError, OSError, RuntimeError):
            transport.abort()
            return
        # Buffered output gets a moment to leave; a peer that never reads is cut off.
        self._loop.call_later(2.0, transport.abort)

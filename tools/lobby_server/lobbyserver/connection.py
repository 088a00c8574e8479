"""One client connection: reads and frames its stream, runs its timers (idle probe and
close, incomplete message, handshake, redirect) and bounds what waits to be sent to it.

Writes never block the caller: a relay from another connection only appends to this
transport's buffer. A connection whose buffer passes the bound, or that stays above the
transport's high-water mark longer than the drain time-out, is closed.
"""

import asyncio

from . import messages
from .catalogue import name_of
from .wire import FrameReader, FramingError


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
        self.closed = False
        self.close_reason = None
        self.state = None             # the service's per-connection record
        self.identified = False       # Connection (lobby) or GameReady (game) seen
        self.redirect_deadline = None
        self._drain_task = None
        loop = asyncio.get_running_loop()
        self._loop = loop
        self.opened_at = loop.time()
        self.last_rx = self.opened_at
        self.probe_sent = False
        self.partial_since = None
        peer = writer.get_extra_info("peername")
        self.peer = "%s:%s" % peer[:2] if peer else "?"

    # ---- reading ----

    async def run(self):
        self.log.write("open", conn=self.name, peer=self.peer)
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
                            self.framer.pending, total if total else "?"), self.framer.buf[:16])
                    break
                self._received(data)
                if self._drain_task is not None and not self.closed:
                    await asyncio.shield(self._drain_task)
        finally:
            self.close(self.close_reason or reason)
            try:
                self.service.on_close(self)
            finally:
                self.log.write("close", conn=self.name, reason=self.close_reason)

    def _received(self, data):
        now = self._loop.time()
        self.last_rx = now
        self.probe_sent = False
        fault = None
        try:
            frames = self.framer.feed(data)
        except FramingError as err:
            frames, fault = err.frames, err
        for frame in frames:
            if self.closed:
                return
            self.service.on_frame(self, frame)
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

    # ---- writing ----

    def send(self, data, fields=None):
        """Queues one whole message; never waits."""
        if self.closed:
            return False
        msg_id = data[1] if data[0] == 0xBF else data[0] & 0x1F
        record = {"conn": self.name, "id": msg_id, "name": name_of(msg_id)}
        if fields is not None:
            record["fields"] = fields
        self.log.write("out", **record)
        try:
            self.writer.write(data)
        except (ConnectionError, OSError, RuntimeError):
            self.close("write failed")
            return False
        buffered = self.writer.transport.get_write_buffer_size()
        if buffered > self.cfg.max_output:
            self.log.violation(self, "output not read: %d bytes waiting" % buffered)
            self.close("output bound exceeded", abort=True)
            return False
        if buffered and self._drain_task is None:
            self._drain_task = asyncio.ensure_future(self._drain())
        return True

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

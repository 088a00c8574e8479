"""JSON-lines log of every message in and out, every connection event and every protocol
violation. Tests of the client read it and fail on any "violation" line.

The log never holds what logs a player in (catalogue.SECRETS), its file is readable by its
owner only, and a log that cannot be written (a full disk) never stops the service: the
first failure is told once on standard error, and the lines are lost until writing works again,
when a "log_lost" line counts them. A line is written whole or not at all.
"""

import contextlib
import errno
import json
import os
import stat
import sys
import time

_BYTES_SHOWN = 48
LOG_MAX_BYTES = 8 << 20
LOG_KEPT = 3


def _open_own(path, flags=0):
    fd = os.open(path, os.O_WRONLY | os.O_APPEND | os.O_CREAT | flags, 0o600)
    if stat.S_ISREG(os.fstat(fd).st_mode):
        os.fchmod(fd, 0o600)   # also a log an older server left readable by all
    return fd


class RotatingFile:
    """An append-only log file that moves aside when it reaches max_bytes: FILE.1 is the
    newest older part, FILE.<kept> the oldest; older parts are dropped. Each line is written
    at once, unbuffered, in one write: one that fails part way (a disk that fills) is cut
    off again, so the line is lost whole and the next one starts on a line of its own.
    While no new file can be made (no descriptor, no inode) the current one grows on."""

    def __init__(self, path, max_bytes=LOG_MAX_BYTES, kept=LOG_KEPT):
        self.path = path
        self.max_bytes = max_bytes
        self.kept = kept
        self._fd = _open_own(path)
        self._size = os.fstat(self._fd).st_size

    def write(self, text):
        data = text.encode("utf-8")
        if self._size > 0 and self._size + len(data) > self.max_bytes:
            self._rotate()
        try:
            written = os.write(self._fd, data)
        except OSError:
            self._cut_back()
            raise
        if written != len(data):
            self._cut_back()
            raise OSError(errno.ENOSPC, "short write to the log (%d of %d bytes)" % (written, len(data)))
        self._size += written

    def _cut_back(self):
        """Removes what a failed write left of its line."""
        try:
            os.ftruncate(self._fd, self._size)
        except OSError:
            pass

    def _rotate(self):
        """The new file is made first, so that nothing moves when it cannot be. The oldest
        part is set aside rather than overwritten and dropped only once every move is done:
        a move that fails puts back those made before it, so no part is lost at any step."""
        fresh = self.path + ".new"
        try:
            fd = _open_own(fresh, os.O_TRUNC)
        except OSError:
            return
        dropped = self.path + ".drop"
        moves = [("%s.%d" % (self.path, self.kept), dropped)]
        moves += [("%s.%d" % (self.path, n), "%s.%d" % (self.path, n + 1)) for n in range(self.kept - 1, 0, -1)]
        moves += [(self.path, self.path + ".1"), (fresh, self.path)]
        done = []
        try:
            for source, target in moves:
                if os.path.exists(source):
                    os.replace(source, target)
                    done.append((source, target))
        except OSError:
            for source, target in reversed(done):
                with contextlib.suppress(OSError):
                    os.replace(target, source)
            os.close(fd)
            with contextlib.suppress(OSError):
                os.unlink(fresh)
            return
        with contextlib.suppress(OSError):
            os.unlink(dropped)
        os.close(self._fd)
        self._fd, self._size = fd, 0

    def flush(self):
        pass

    def close(self):
        os.close(self._fd)


def _plain(value):
    if isinstance(value, (bytes, bytearray)):
        return {"len": len(value), "hex": bytes(value[:_BYTES_SHOWN]).hex()}
    if isinstance(value, dict):
        return {k: _plain(v) for k, v in value.items()}
    if isinstance(value, (list, tuple)):
        return [_plain(v) for v in value]
    return value


class EventLog:
    def __init__(self, stream):
        self.stream = stream
        self.violations = 0
        self.failing = False   # the last write failed (told once on standard error)
        self.lost = 0          # lines lost since writing last worked

    def write(self, event, **fields):
        record = {"t": round(time.time(), 3), "event": event}
        record.update(_plain(fields))
        line = json.dumps(record, ensure_ascii=True) + "\n"
        if self.lost:
            line = json.dumps({"t": record["t"], "event": "log_lost", "lines": self.lost}) + "\n" + line
        try:
            self.stream.write(line)
            self.stream.flush()
        except OSError as err:
            self.lost += 1
            if not self.failing:
                self.failing = True
                try:
                    print("lobby server: cannot write the log (%s); serving on without it" % err,
                          file=sys.stderr, flush=True)
                except OSError:
                    pass
            return
        self.failing = False
        self.lost = 0

    def violation(self, conn, reason, data=b""):
        self.violations += 1
        fields = {"conn": conn.name, "reason": reason}
        if data:
            fields["bytes"] = bytes(data)
        self.write("violation", **fields)

"""JSON-lines log of every message in and out, every connection event and every protocol
violation. Tests of the client read it and fail on any "violation" line."""

import json
import os
import time

_BYTES_SHOWN = 48
LOG_MAX_BYTES = 8 << 20
LOG_KEPT = 3


class RotatingFile:
    """An append-only log file that moves aside when it reaches max_bytes: FILE.1 is the
    newest older part, FILE.<kept> the oldest; older parts are dropped."""

    def __init__(self, path, max_bytes=LOG_MAX_BYTES, kept=LOG_KEPT):
        self.path = path
        self.max_bytes = max_bytes
        self.kept = kept
        self._file = open(path, "a", encoding="utf-8")

    def write(self, text):
        if self._file.tell() > 0 and self._file.tell() + len(text) > self.max_bytes:
            self._rotate()
        self._file.write(text)

    def _rotate(self):
        self._file.close()
        for n in range(self.kept - 1, 0, -1):
            if os.path.exists("%s.%d" % (self.path, n)):
                os.replace("%s.%d" % (self.path, n), "%s.%d" % (self.path, n + 1))
        os.replace(self.path, self.path + ".1")
        self._file = open(self.path, "a", encoding="utf-8")

    def flush(self):
        self._file.flush()

    def close(self):
        self._file.close()


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

    def write(self, event, **fields):
        record = {"t": round(time.time(), 3), "event": event}
        record.update(_plain(fields))
        self.stream.write(json.dumps(record, ensure_ascii=True) + "\n")
        self.stream.flush()

    def violation(self, conn, reason, data=b""):
        self.violations += 1
        fields = {"conn": conn.name, "reason": reason}
        if data:
            fields["bytes"] = bytes(data)
        self.write("violation", **fields)

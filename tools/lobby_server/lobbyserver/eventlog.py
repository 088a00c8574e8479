"""JSON-lines log of every message in and out, every connection event and every protocol
violation. Tests of the client read it and fail on any "violation" line."""

import json
import time

_BYTES_SHOWN = 48


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

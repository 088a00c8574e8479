"""Byte-level encoding: identifiers, lengths, value forms, and cutting a stream into messages.

Sections: limits and errors; value writers; value readers; FrameReader (stream framing).
"""

# The largest game payload the client builds and accepts, and the frame that carries it:
# identifier (1) + long length (4) + field tag (1) + long inner length (4) + payload.
MAX_GAME_PAYLOAD = 65552
MAX_FRAME = 1 + 4 + 1 + 4 + MAX_GAME_PAYLOAD


class WireError(ValueError):
    """Bytes that are not a valid encoding."""


class FramingError(WireError):
    """The stream cannot be cut into messages any more; the connection must close."""

    def __init__(self, reason, data):
        super().__init__(reason)
        self.reason = reason
        self.data = bytes(data)
        self.frames = []    # whole messages that came before the fault, still to be handled


# ---- value writers (always the canonical form) ----

def encode_identifier(msg_id):
    if 0 <= msg_id < 31:
        return bytes([0xA0 | msg_id])
    if 31 <= msg_id < 128:
        return bytes([0xBF, msg_id])
    raise ValueError("message id out of range: %r" % msg_id)


def encode_length(n):
    if n < 0:
        raise ValueError("negative length")
    if n < 0x80:
        return bytes([n])
    body = n.to_bytes((n.bit_length() + 7) // 8, "big")
    if len(body) > 4:
        raise ValueError("length too large: %d" % n)
    return bytes([0x80 | len(body)]) + body


def encode_int(value):
    if not -(1 << 31) <= value < (1 << 31):
        raise ValueError("int out of range: %r" % value)
    n = 1
    while not -(1 << (8 * n - 1)) <= value < (1 << (8 * n - 1)):
        n += 1
    return bytes([n]) + value.to_bytes(n, "big", signed=True)


def encode_long(value):
    # Negative longs have no settled form; the server only ever writes ids >= 0.
    if not 0 <= value < (1 << 63):
        raise ValueError("long out of range: %r" % value)
    n = 1
    while value >= (1 << (8 * n - 1)):
        n += 1
    return bytes([n]) + value.to_bytes(n, "big")


def text_bytes(text):
    """UTF-8 the way the client writes it: every 16-bit unit on its own, so a character
    beyond the Basic Multilingual Plane becomes two three-byte surrogate halves."""
    units = []
    for ch in text:
        code = ord(ch)
        if code > 0xFFFF:
            code -= 0x10000
            units.append(chr(0xD800 + (code >> 10)))
            units.append(chr(0xDC00 + (code & 0x3FF)))
        else:
            units.append(ch)
    return "".join(units).encode("utf-8", "surrogatepass")


def encode_text(text):
    data = text_bytes(text)
    return encode_length(len(data)) + data


def encode_bytes(data):
    return encode_length(len(data)) + bytes(data)


def encode_int_list(values):
    body = b"".join(b"\x02" + encode_int(v) for v in values)
    return encode_length(len(body)) + body


def encode_record(fields):
    """One list element of a record list: 0x30, a length, the fields tagged 0x80|index."""
    body = b"".join(bytes([0x80 | i]) + value for i, value in enumerate(fields))
    return b"\x30" + encode_length(len(body)) + body


def encode_message(msg_id, fields):
    """fields: (tag byte, encoded value) pairs in wire order."""
    content = b"".join(bytes([tag]) + value for tag, value in fields)
    return encode_identifier(msg_id) + encode_length(len(content)) + content


# ---- value readers ----

def read_length(buf, pos, end):
    """Reads a length field at pos. Returns (value, header size, canonical) or None when
    its bytes are not all before end. Forms the client never writes raise WireError."""
    if pos >= end:
        return None
    first = buf[pos]
    if first < 0x80:
        return first, 1, True
    count = first & 0x7F
    if first == 0x80 or count > 4:
        raise WireError("length form 0x%02X" % first)
    if pos + 1 + count > end:
        return None
    body = bytes(buf[pos + 1:pos + 1 + count])
    value = int.from_bytes(body, "big")
    canonical = value >= 0x80 and body[0] != 0
    return value, 1 + count, canonical


def decode_int(value):
    """Returns (int, canonical) for the n content bytes of an int field."""
    if not 1 <= len(value) <= 4:
        raise WireError("int of %d bytes" % len(value))
    number = int.from_bytes(value, "big", signed=True)
    canonical = len(encode_int(number)) - 1 == len(value)
    return number, canonical


def decode_long(value):
    """Returns (int, canonical); the client's reader takes the bytes unsigned."""
    if not 1 <= len(value) <= 8:
        raise WireError("long of %d bytes" % len(value))
    number = int.from_bytes(value, "big")
    canonical = value[0] < 0x80 and (len(value) == 1 or not (value[0] == 0 and value[1] < 0x80))
    return number, canonical


def decode_text(value):
    """Returns (str, canonical). Surrogate halves pass through unchanged; a four-byte
    sequence is valid UTF-8 but never written by the client."""
    try:
        text = bytes(value).decode("utf-8", "surrogatepass")
    except UnicodeDecodeError as err:
        raise WireError("text is not UTF-8: %s" % err.reason) from None
    canonical = not any(b >= 0xF0 for b in value)
    return text, canonical


# ---- stream framing ----

class Frame:
    __slots__ = ("msg_id", "data", "header", "canonical")

    def __init__(self, msg_id, data, header, canonical):
        self.msg_id = msg_id
        self.data = data          # the whole message
        self.header = header      # identifier + length field size
        self.canonical = canonical

    @property
    def content(self):
        return self.data[self.header:]


class FrameReader:
    """Cuts one connection's byte stream into messages. Never allocates by a declared
    length: a total above max_frame is refused as soon as the length field is complete."""

    def __init__(self, max_frame=MAX_FRAME):
        self.max_frame = max_frame
        self.buf = bytearray()
        self.expected = None   # total size of the message in progress, once known

    @property
    def pending(self):
        return len(self.buf)

    def feed(self, data):
        self.buf += data
        frames = []
        while self.buf:
            try:
                head = self._header()
            except FramingError as err:
                err.frames = frames
                raise
            if head is None:
                break
            msg_id, header, total, canonical = head
            if len(self.buf) < total:
                self.expected = total
                break
            frames.append(Frame(msg_id, bytes(self.buf[:total]), header, canonical))
            del self.buf[:total]
            self.expected = None
        return frames

    def _header(self):
        buf = self.buf
        first = buf[0]
        if first == 0xBF:
            if len(buf) < 2:
                return None
            msg_id = buf[1]
            if not 31 <= msg_id <= 127:
                raise FramingError("bad identifier", buf[:2])
            id_size = 2
        elif first & 0xE0 == 0xA0:
            msg_id = first & 0x1F
            id_size = 1
        else:
            raise FramingError("bad identifier", buf[:1])
        try:
            length = read_length(buf, id_size, len(buf))
        except WireError as err:
            raise FramingError(str(err), buf[:id_size + 1]) from None
        if length is None:
            return None
        value, size, canonical = length
        total = id_size + size + value
        if total > self.max_frame:
            raise FramingError("message of %d bytes exceeds the limit of %d" % (total, self.max_frame),
                               buf[:id_size + size])
        return msg_id, id_size + size, total, canonical

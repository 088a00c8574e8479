"""Raw-socket client for the tests, with its own small codec (deliberately not the
server's): fixed messages are the hex examples of the protocol notes; the few variable
ones are assembled here byte by byte."""

import hashlib
import select
import socket
import time

from tests.patience import PATIENCE

# ---- fixed messages (hex examples) ----

CONNECTION = bytes.fromhex(
    "A0 81 B4 80 01 01 81 02 05 00 82 02 03 00 83 02 4D 31 84 03 31 2E 30 85 01 01 86 01 01 87 07"
    " 30 2E 30 2E 30 2E 30 88 07 30 2E 30 2E 30 2E 30 89 01 19 8A 6E 73 74 61 6E 64 61 6C 6F 6E 65"
    " 2D 69 64 3A 36 34 3B 66 75 6C 6C 2D 76 65 72 73 69 6F 6E 3A 31 3B 73 74 61 6E 64 61 6C 6F 6E"
    " 65 2D 76 65 72 73 69 6F 6E 3A 31 2E 36 32 3B 6F 70 65 6E 67 6C 3A 31 3B 75 73 65 72 2D 61 67"
    " 65 6E 74 3A 55 41 3B 66 72 61 6D 65 2D 76 65 72 73 69 6F 6E 3A 32 2E 30 35 3B 6C 61 6E 67 5F"
    " 63 6F 64 65 3A 65 6E 8B 02 62 62 8C 02 44 31 8D 01 01 8E 02 4F 53 8F 01 00 90 01 0D")
CONNECT_ACK = bytes.fromhex("A2 0A 80 00 81 01 00 82 00 83 01 01")
GUEST_LOGIN = bytes.fromhex("A5 0F 80 05 67 75 65 73 74 81 01 30 82 01 01 83 00")
GET_KEY_VALUE_GUEST = bytes.fromhex("B9 0C 80 0A 67 75 65 73 74 4C 6F 67 69 6E")
KEY_VALUE_GUEST = bytes.fromhex("B1 0F 80 0A 67 75 65 73 74 4C 6F 67 69 6E 81 01 31")
ALIVE_MINUS_ONE = bytes.fromhex("BF 2C 03 80 01 FF")
ALIVE_ZERO = bytes.fromhex("BF 2C 03 80 01 00")
QUEUE_LOBBY = bytes.fromhex("A7 09 80 01 40 81 01 00 82 01 02")
QUEUE_GAME = bytes.fromhex("A7 09 80 01 40 81 01 01 82 01 02")
QUEUE_LEAVE = bytes.fromhex("A9 03 80 01 40")
GROUPS_201 = bytes.fromhex("BF 5C 04 80 02 02 01")
GROUPS_201_ANSWER = bytes.fromhex("BF 5D 06 80 02 02 01 A1 00")
ITEMS_201 = bytes.fromhex("BF 60 0A 80 02 02 01 81 01 64 82 01 00")
ITEMS_201_ANSWER = bytes.fromhex("BF 61 09 80 02 02 01 81 01 00 A2 00")
ITEM_DATAS = bytes.fromhex("BF 5E 00")
ITEM_DATAS_ANSWER = bytes.fromhex("BF 57 02 A0 00")
GROUPS_401 = bytes.fromhex("BF 5C 04 80 02 04 01")
GROUPS_401_ANSWER = bytes.fromhex("BF 5D 06 80 02 04 01 A1 00")
ITEMS_401 = bytes.fromhex("BF 60 0A 80 02 04 01 81 01 64 82 01 00")
ITEMS_401_ANSWER = bytes.fromhex("BF 61 09 80 02 04 01 81 01 00 A2 00")
REMATCH_AGREED = bytes.fromhex("BF 47 03 80 01 03")
LOGOUT = bytes.fromhex("BF 3B 00")

CONNECT_ACK_ID, LOGIN_ACK_ID, GAME_START_ID, GAME_MESSAGE_ID = 2, 6, 12, 13
CHAT_ID, REMATCH_RECEIVED_ID, GAME_DISCONNECT_ID, ALIVE_ID, RANDOM_KEY_ID = 64, 71, 72, 44, 58


# ---- the tests' own encoder ----

def length(n):
    if n < 0x80:
        return bytes([n])
    body = n.to_bytes(4, "big").lstrip(b"\x00")
    return bytes([0x80 | len(body)]) + body


def integer(v):
    for n in (1, 2, 3, 4):
        if -(1 << (8 * n - 1)) <= v < (1 << (8 * n - 1)):
            return bytes([n]) + v.to_bytes(n, "big", signed=True)
    raise ValueError(v)


def long_integer(v):
    body = v.to_bytes(8, "big").lstrip(b"\x00") or b"\x00"
    if body[0] & 0x80:
        body = b"\x00" + body
    return bytes([len(body)]) + body


def text(s):
    """The client's form: each UTF-16 unit UTF-8 encoded on its own."""
    units = s.encode("utf-16-be", "surrogatepass")
    data = b"".join(chr(int.from_bytes(units[i:i + 2], "big")).encode("utf-8", "surrogatepass")
                    for i in range(0, len(units), 2))
    return length(len(data)) + data


def raw(data):
    return length(len(data)) + data


def int_list(values):
    body = b"".join(b"\x02" + integer(v) for v in values)
    return length(len(body)) + body


def message(msg_id, *fields, tags=None):
    """fields are encoded values; tags overrides the tag byte per index."""
    tags = tags or {}
    content = b"".join(bytes([tags.get(i, 0x80 | i)]) + f for i, f in enumerate(fields))
    ident = bytes([0xA0 | msg_id]) if msg_id < 31 else bytes([0xBF, msg_id])
    return ident + length(len(content)) + content


def md5_hash(password, key):
    """md5(password + key) for Latin-1 passwords, as the client computes it."""
    return hashlib.md5((password + key).encode("latin-1")).hexdigest()


def login(user, secret):
    return message(5, text(user), text(secret), integer(1), text(""))


def get_random_key(user):
    return message(57, text(user))


def game_ready(session, user, flag):
    return message(46, integer(1), long_integer(session), integer(2), integer(flag), integer(user),
                   integer(64), text("2.05"))


def game_message(payload):
    return message(13, raw(payload))


def chat(kind, words, sender):
    return message(64, integer(kind), text(words), integer(sender))


def game_end(session, players, ranks, leaving=0):
    return message(15, long_integer(session), integer(64), integer(0), int_list(players),
                   int_list(ranks), integer(leaving), tags={3: 0xA3, 4: 0xA4})


def rematch(session, wish):
    return message(70, long_integer(session), integer(wish), integer(1))


# ---- the tests' own decoder ----

class Message:
    def __init__(self, data):
        self.data = data
        if data[0] == 0xBF:
            self.id, pos = data[1], 2
        else:
            self.id, pos = data[0] & 0x1F, 1
        size, header = read_length(data, pos)
        self.content = data[pos + header:pos + header + size]

    def fields(self):
        """Tag index -> raw value bytes (after the value's own length or count byte)."""
        out, pos, content = {}, 0, self.content
        while pos < len(content):
            index = content[pos] & 0x1F
            size, header = read_length(content, pos + 1)
            out[index] = content[pos + 1 + header:pos + 1 + header + size]
            pos += 1 + header + size
        return out

    def int(self, index):
        return int.from_bytes(self.fields()[index], "big", signed=True)

    def long(self, index):
        return int.from_bytes(self.fields()[index], "big")

    def text(self, index):
        return self.fields()[index].decode("utf-8", "surrogatepass")

    def __repr__(self):
        return "Message(%d, %s)" % (self.id, self.data[:40].hex(" "))


def read_length(buf, pos):
    first = buf[pos]
    if first < 0x80:
        return first, 1
    n = first & 0x0F
    return int.from_bytes(buf[pos + 1:pos + 1 + n], "big"), 1 + n


def total_length(buf):
    """Whole message size, or None while the header is incomplete."""
    pos = 2 if buf[:1] == b"\xBF" else 1
    if len(buf) <= pos:
        return None
    first = buf[pos]
    n = 0 if first < 0x80 else first & 0x0F
    if len(buf) < pos + 1 + n:
        return None
    size, header = read_length(buf, pos)
    return pos + header + size


class RawClient:
    def __init__(self, port, host="127.0.0.1", receive_buffer=None):
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        if receive_buffer:
            self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, receive_buffer)
        self.sock.settimeout(PATIENCE)
        try:
            self.sock.connect((host, port))
        except OSError:
            self.sock.close()
            raise
        self.buf = b""
        self.reads = 0     # receive calls that returned data

    def send(self, data):
        self.sock.sendall(data)

    def _fill(self, deadline):
        """Reads once; returns False on end of stream."""
        wait = deadline - time.monotonic()
        if wait <= 0:
            raise TimeoutError("no message in time")
        ready, _, _ = select.select([self.sock], [], [], wait)
        if not ready:
            raise TimeoutError("no message in time")
        try:
            chunk = self.sock.recv(1 << 20)
        except ConnectionResetError:
            chunk = b""
        self.buf += chunk
        self.reads += bool(chunk)
        return bool(chunk)

    def recv(self, timeout=PATIENCE):
        deadline = time.monotonic() + timeout
        while True:
            if self.buf:
                total = total_length(self.buf)
                if total is not None and len(self.buf) >= total:
                    data, self.buf = self.buf[:total], self.buf[total:]
                    return Message(data)
            if not self._fill(deadline):
                raise ConnectionError("closed by the server")

    def expect(self, msg_id, timeout=PATIENCE):
        msg = self.recv(timeout)
        if msg.id != msg_id:
            raise AssertionError("expected message %d, got %r" % (msg_id, msg))
        return msg

    def expect_bytes(self, data, timeout=PATIENCE):
        msg = self.recv(timeout)
        if msg.data != data:
            raise AssertionError("expected %s, got %s" % (data.hex(" "), msg.data.hex(" ")))
        return msg

    def expect_quiet(self, ask=ALIVE_MINUS_ONE, answer=ALIVE_MINUS_ONE):
        """Nothing comes before the answer to ask, sent now, however slow the machine: the
        server handles a connection's messages in order, so what it sends for those before
        is written first; for another connection's, once an answer there showed them handled."""
        self.send(ask)
        self.expect_bytes(answer)

    def expect_closed(self, timeout=PATIENCE):
        deadline = time.monotonic() + timeout
        while self._fill(deadline):
            pass

    def close(self):
        self.sock.close()


def connected(port):
    """A client whose Connection the server has accepted."""
    client = RawClient(port)
    client.send(CONNECTION)
    client.expect_bytes(CONNECT_ACK)
    return client


def guest(port):
    """Connects and logs in as a guest; returns (client, user id, user name)."""
    client = connected(port)
    client.send(GUEST_LOGIN)
    ack = client.expect(LOGIN_ACK_ID)
    return client, ack.int(0), ack.text(5)

#!/usr/bin/env python3
"""A scripted second player for tests: a protocol client on the server's own codec.

It writes every message in the client's form (the schemas of lobbyserver/catalogue.py,
which strict mode checks), reads JSON commands on standard input, one object a line, and
writes every message it receives as one JSON line on standard output. What a real client
does by itself it does too: it answers a lobby GameStart with the game connection and the
0x401 item round, sends GameReady when that round completes, runs the round again after an
agreed rematch, and answers the server's Alive probe. See README.md for the commands.

    python3 tools/lobby_server/peer.py --port LOBBY_PORT
"""

import argparse
import json
import os
import select
import socket
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from lobbyserver import wire                                            # noqa: E402
from lobbyserver.catalogue import (BYTES, CLIENT_SCHEMAS, FRAMEWORK_VERSION, INT, INT_LIST,  # noqa: E402
                                   LONG, TEXT, TEXT_LIST, name_of)
from lobbyserver.content import walk                                     # noqa: E402

APP_ID = 64
PAGE = 100
# The client's own Connection values (its identification text names the app and the release).
CONNECTION = {
    "one": 1, "width": 1280, "height": 768, "model": "peer", "os_version": "1.0", "one_b": 1,
    "one_c": 1, "address_a": "0.0.0.0", "address_b": "0.0.0.0", "twenty_five": 25,
    "identification": "standalone-id:64;full-version:1;standalone-version:1.62;opengl:1;"
                      "user-agent:peer;frame-version:%s;lang_code:en" % FRAMEWORK_VERSION,
    "reseller": "bb", "device_id": "peer", "one_d": 1, "os_name": "OS", "zero": 0, "thirteen": 13,
}


class PeerError(Exception):
    pass


# ---- writing: the client's form of every message ----

def _encode_value(kind, value):
    if kind == INT:
        return wire.encode_int(value)
    if kind == LONG:
        return wire.encode_long(value)
    if kind == TEXT:
        return wire.encode_text(value)
    if kind == BYTES:
        return wire.encode_bytes(bytes.fromhex(value) if isinstance(value, str) else bytes(value))
    if kind == INT_LIST:
        return wire.encode_int_list(value)
    if kind == TEXT_LIST:
        body = b"".join(b"\x0c" + wire.encode_text(t) for t in value)
        return wire.encode_length(len(body)) + body
    raise PeerError("unknown kind %r" % kind)


def encode_client(msg_id, values):
    """values: field name -> value by the client's schema; optional fields may be left out."""
    schema = CLIENT_SCHEMAS.get(msg_id)
    if schema is None:
        raise PeerError("the client never writes message %d" % msg_id)
    unknown = set(values) - {field[0] for field in schema}
    if unknown:
        raise PeerError("%s has no field %s" % (name_of(msg_id), ", ".join(sorted(unknown))))
    fields = []
    for index, (name, kind, tag_class, optional) in enumerate(schema):
        if name not in values:
            if optional:
                continue
            raise PeerError("%s needs %s" % (name_of(msg_id), name))
        try:
            fields.append((tag_class | index, _encode_value(kind, values[name])))
        except (TypeError, ValueError, OverflowError) as err:
            raise PeerError("%s field %s: %s" % (name_of(msg_id), name, err)) from None
    return wire.encode_message(msg_id, fields)


# ---- reading: the server's messages as JSON ----

def _records(*kinds):
    return ("records", kinds)


STATS = "stats"
_ITEM = (INT, TEXT, TEXT, TEXT, INT, INT, INT, INT, INT, INT, INT, INT, INT, TEXT, INT)
SERVER_SCHEMAS = {
    2: [("error", TEXT), ("result", INT), ("text", TEXT), ("release", INT)],
    6: [("user", INT), ("token", TEXT), ("text2", TEXT), ("text3", TEXT), ("value", INT), ("name", TEXT)],
    8: [("players", _records(INT, TEXT)), ("a", INT), ("app", INT), ("status", INT)],
    12: [("session", LONG), ("players", _records(INT, TEXT)), ("flag", INT), ("flag2", INT),
         ("address", TEXT), ("value", INT)],
    13: [("payload", BYTES)],
    17: [("key", TEXT), ("value", TEXT)],
    20: [("count", INT), ("first", INT), ("kind", INT),
         ("items", _records(INT, TEXT, TEXT, TEXT, TEXT, INT, TEXT, STATS)), ("groups", _records(TEXT, INT))],
    21: [("b", INT), ("a", INT), ("type", INT), ("action", INT), ("text", TEXT), ("text2", TEXT)],
    22: [("b", INT), ("a", INT), ("type", INT), ("action", INT), ("text", TEXT), ("text2", TEXT)],
    39: [("value", LONG), ("challenger", INT), ("name", TEXT), ("text", TEXT), ("value1", INT), ("value2", INT)],
    40: [("answer", INT), ("app", INT), ("responder", INT), ("challenger", INT), ("name", TEXT),
         ("text1", TEXT), ("text", TEXT)],
    44: [("value", INT)],
    45: [("value1", INT), ("text", TEXT), ("value2", INT)],
    58: [("key", TEXT), ("text", TEXT)],
    64: [("type", INT), ("text", TEXT), ("sender", INT)],
    71: [("value", INT)],
    72: [("session", LONG), ("player", INT)],
    75: [("sessions", _records(INT, INT, INT, INT, TEXT, TEXT))],
    85: [("player", INT), ("value", INT), ("image", BYTES)],
    87: [("datas", _records(INT, INT, BYTES, INT))],
    91: [("balance", INT)],
    93: [("flags", INT), ("groups", _records(INT, TEXT, INT, INT, INT, INT))],
    97: [("flags", INT), ("start", INT), ("items", _records(*_ITEM))],
    108: [("result", INT), ("key", TEXT)],
    110: [("result", INT), ("name", TEXT)],
}


def _decode_value(kind, value):
    if kind == INT:
        return wire.decode_int(value)[0]
    if kind == LONG:
        return wire.decode_long(value)[0]
    if kind == TEXT:
        return wire.decode_text(value)[0]
    if kind == BYTES:
        return bytes(value).hex()
    if kind == STATS:
        return [wire.decode_int(v)[0] for _tag, v, _ok in walk(value)]
    if isinstance(kind, tuple) and kind[0] == "records":
        return [_decode_record(kind[1], element) for element in _elements(value)]
    raise wire.WireError("unknown kind %r" % (kind,))


def _elements(value):
    out, pos = [], 0
    while pos < len(value):
        if value[pos] != 0x30:
            raise wire.WireError("record tag 0x%02X" % value[pos])
        head = wire.read_length(value, pos + 1, len(value))
        if head is None:
            raise wire.WireError("record cut off")
        size, header, _ok = head
        start = pos + 1 + header
        out.append(value[start:start + size])
        pos = start + size
    return out


def _decode_record(kinds, element):
    record = []
    for tag, value, _ok in walk(element):
        index = tag & 0x1F
        record.append(_decode_value(kinds[index], value) if index < len(kinds) else bytes(value).hex())
    return record


def decode_server(msg_id, content):
    """Field name -> value for the messages the peer knows; {"hex": ...} for the rest."""
    schema = SERVER_SCHEMAS.get(msg_id)
    if schema is None:
        return {"hex": bytes(content).hex()}
    try:
        fields = {}
        for tag, value, _ok in walk(content):
            index = tag & 0x1F
            if index >= len(schema):
                raise wire.WireError("field %d beyond the schema" % index)
            name, kind = schema[index]
            fields[name] = _decode_value(kind, value)
        return fields
    except (wire.WireError, IndexError) as err:
        return {"hex": bytes(content).hex(), "undecoded": str(err)}


# ---- the player ----

class Link:
    """One connection (lobby or game): its socket and its framer."""

    def __init__(self, kind, host, port):
        self.kind = kind
        self.sock = socket.create_connection((host, port), timeout=10)
        self.sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        self.sock.settimeout(None)
        self.framer = wire.FrameReader()

    def send(self, data):
        self.sock.sendall(data)

    def close(self):
        try:
            self.sock.close()
        except OSError:
            pass


class Peer:
    def __init__(self, host, port, out):
        self.host, self.port = host, port
        self.out = out
        self.lobby = None
        self.game = None
        self.user_id = None
        self.name = None
        self.pending_login = None     # (name, password) waiting for RandomKey
        self.session = None           # the lobby GameStart's session id
        self.start_flag = 0
        self.player_count = 0
        self.rounds = {}              # flags -> {"total", "received", "asked"}
        self.done = False

    # ---- output ----

    def emit(self, event, **fields):
        self.out.write(json.dumps(dict(event=event, **fields)) + "\n")
        self.out.flush()

    # ---- connections ----

    def links(self):
        return [link for link in (self.lobby, self.game) if link is not None]

    def _send(self, link, msg_id, values):
        if link is None:
            raise PeerError("no %s connection" % ("game" if msg_id in (13, 15, 46, 64, 70) else "lobby"))
        link.send(encode_client(msg_id, values))

    def send_lobby(self, msg_id, **values):
        self._send(self.lobby, msg_id, values)

    def send_game(self, msg_id, **values):
        self._send(self.game, msg_id, values)

    def connect_lobby(self):
        if self.lobby is None:
            self.lobby = Link("lobby", self.host, self.port)
            self.send_lobby(0, **CONNECTION)

    def drop(self, link, reason):
        link.close()
        if link is self.lobby:
            self.lobby = None
        if link is self.game:
            self.game = None
        self.emit("closed", conn=link.kind, reason=reason)

    def read(self, link):
        try:
            data = link.sock.recv(65536)
        except OSError as err:
            self.drop(link, "read failed: %s" % err)
            return
        if not data:
            self.drop(link, "closed by the server")
            return
        try:
            frames = link.framer.feed(data)
        except wire.FramingError as err:
            frames = err.frames
            self.emit("error", error="framing: %s" % err.reason, conn=link.kind)
        for frame in frames:
            fields = decode_server(frame.msg_id, frame.content)
            self.emit("in", conn=link.kind, id=frame.msg_id, name=name_of(frame.msg_id), fields=fields)
            self.react(link, frame.msg_id, fields)

    # ---- what a client does by itself ----

    def react(self, link, msg_id, fields):
        if msg_id == 6 and fields.get("user", -1) >= 0 and "name" in fields:
            self.user_id, self.name = fields["user"], fields["name"]
        elif msg_id == 58 and self.pending_login is not None:
            # The store's module (asyncio, sqlite3) is most of a start's imports: only an
            # account's login needs it.
            from lobbyserver.accounts import password_hash
            user, password = self.pending_login
            self.pending_login = None
            self.send_lobby(5, user=user, hash=password_hash(password, fields.get("key", "")), one=1, text="")
        elif msg_id == 44 and fields.get("value", -1) >= 0:
            link.send(encode_client(44, {"value": -1}))
        elif msg_id == 12 and link is self.lobby:
            self._lobby_game_start(fields)
        elif msg_id == 93:
            self._groups(fields)
        elif msg_id == 97:
            self._items(fields)
        elif msg_id == 71 and fields.get("value", 0) & 2:
            self.start_round(0x401)

    def _lobby_game_start(self, fields):
        if self.game is not None:     # the client ignores it while its game connection is up
            return
        host, _sep, port = fields.get("address", "").partition(":")
        try:
            self.game = Link("game", host, int(port))
        except (OSError, ValueError) as err:
            self.emit("error", error="game connection to %s failed: %s" % (fields.get("address"), err))
            return
        self.session = fields["session"]
        self.start_flag = fields.get("flag", 0)
        self.player_count = len(fields.get("players", []))
        self.emit("connected", conn="game", session=self.session)
        self.start_round(0x401)

    def start_round(self, flags):
        self.rounds[flags] = {"total": 0, "received": 0}
        self.send_lobby(92, flags=flags)

    def _groups(self, fields):
        flags = fields.get("flags", 0)
        state = self.rounds.get(flags)
        if state is None:
            return
        state["total"] = sum(max(group[5], 0) for group in fields.get("groups", []) if len(group) > 5)
        self.send_lobby(96, flags=flags, count=PAGE, start=0)

    def _items(self, fields):
        flags = fields.get("flags", 0)
        state = self.rounds.get(flags)
        if state is None:
            return
        items = fields.get("items", [])
        state["received"] = max(fields.get("start", 0), 0) + len(items)
        # An empty page ends the round, as the client's does, whatever was announced.
        if items and state["received"] < state["total"]:
            self.send_lobby(96, flags=flags, count=PAGE, start=state["received"])
            return
        del self.rounds[flags]
        self.emit("round_done", flags=flags, items=state["received"])
        if flags & 0xF00 == 0x400 and self.game is not None:
            self.send_game(46, one=1, session=self.session, player_count=self.player_count,
                           start_flag=self.start_flag, user=self.user_id, app=APP_ID, framework=FRAMEWORK_VERSION)

    # ---- commands ----

    def command(self, cmd):
        name = cmd.get("cmd")
        handler = getattr(self, "cmd_" + name, None) if isinstance(name, str) else None
        if handler is None:
            raise PeerError("unknown command %r" % (name,))
        handler(cmd)

    def cmd_guest(self, cmd):
        self.connect_lobby()
        self.send_lobby(5, user="guest", hash=str(cmd.get("counter", 0)), one=1, text="")

    def cmd_login(self, cmd):
        self.connect_lobby()
        self.pending_login = (cmd["user"], cmd["password"])
        self.send_lobby(57, user=cmd["user"])

    def cmd_queue(self, cmd):
        self.send_lobby(7, app=APP_ID, a=cmd.get("source", 0), b=2)

    def cmd_unqueue(self, cmd):
        self.send_lobby(9, app=APP_ID)

    def cmd_round(self, cmd):
        self.start_round(cmd["flags"])

    def cmd_game_message(self, cmd):
        self.send_game(13, payload=cmd["payload"])

    def cmd_chat(self, cmd):
        self.send_game(64, type=cmd.get("type", 2), text=cmd.get("text", ""), sender=cmd.get("sender", self.user_id))

    def cmd_game_end(self, cmd):
        self.send_game(15, session=self.session, app=APP_ID, zero=0, players=cmd["players"], ranks=cmd["ranks"],
                       leaving=cmd.get("leaving", 0))

    def cmd_rematch(self, cmd):
        self.send_game(70, session=self.session, wish=cmd.get("wish", 1), one=1)

    def cmd_challenge(self, cmd):
        self.send_lobby(38, app=APP_ID, ids=cmd["ids"], text=cmd.get("text", ""))

    def cmd_challenge_response(self, cmd):
        self.send_lobby(40, answer=cmd["answer"], app=APP_ID, own=self.user_id, challenger=cmd["challenger"],
                        t1="", t2=cmd.get("text", ""))

    def cmd_logout(self, cmd):
        self.send_lobby(59)

    def cmd_send(self, cmd):
        link = self.game if cmd.get("conn") == "game" else self.lobby
        self._send(link, cmd["id"], cmd.get("fields", {}))

    def cmd_close(self, cmd):
        link = self.game if cmd.get("conn") == "game" else self.lobby
        if link is None:
            raise PeerError("no %s connection" % cmd.get("conn", "lobby"))
        self.drop(link, "closed by command")

    def cmd_quit(self, cmd):
        self.done = True


def run(peer, stdin_fd):
    pending = b""
    stdin_open = True
    while not peer.done and (stdin_open or peer.links()):
        watched = [link.sock for link in peer.links()] + ([stdin_fd] if stdin_open else [])
        ready, _, _ = select.select(watched, [], [])
        for link in peer.links():
            if link.sock in ready:
                peer.read(link)
        if stdin_fd in ready:
            chunk = os.read(stdin_fd, 65536)
            if not chunk:
                stdin_open = False
                peer.done = True
            pending += chunk
            while b"\n" in pending and not peer.done:
                line, pending = pending.split(b"\n", 1)
                if line.strip():
                    handle_line(peer, line)
    for link in peer.links():
        link.close()


def handle_line(peer, line):
    try:
        cmd = json.loads(line)
        if not isinstance(cmd, dict):
            raise PeerError("a command must be a JSON object")
        peer.command(cmd)
    except (ValueError, KeyError, TypeError, PeerError, OSError) as err:
        peer.emit("error", error="%s: %s" % (type(err).__name__, err), line=line.decode("utf-8", "replace")[:200])


def main(argv=None):
    parser = argparse.ArgumentParser(description="A scripted second player for tests.")
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, required=True, help="the lobby port")
    args = parser.parse_args(argv)
    run(Peer(args.host, args.port, sys.stdout), sys.stdin.fileno())
    return 0


if __name__ == "__main__":
    sys.exit(main())

"""The control channel for the client's tests: one JSON object per line in, one JSON
answer per line out, on a listener bound to the loopback address only.

A control connection that has carried out no command yet counts among the connections not
logged in: within their share of the cap, and closed at the login deadline.

A command names its connection by log name ({"conn": "L3"}) or by a logged-in user
({"user": 1001, "conn": "lobby" | "game"}). Commands: send, chunk, hold, release, close,
connections, listen, items, player, and the item data faults of shop.py. A bad line answers
{"ok": false, "error": ...} and changes nothing; only
send, chunk, close and release ever touch a client connection.

Sections: ControlError and argument checks; ControlService (listener, sessions, commands).
"""

import asyncio
import inspect
import json
import traceback

from . import messages
from .ingame import parse_list
from .listener import Listener

MAX_LINE = 64 * 1024
MAX_PIECE = 65536


class ControlError(Exception):
    pass


def _writers():
    return {name: f for name, f in vars(messages).items()
            if inspect.isfunction(f) and f.__module__ == messages.__name__ and not name.startswith("_")}


WRITERS = _writers()


def _integer(value, what, low, high):
    if not isinstance(value, int) or isinstance(value, bool) or not low <= value <= high:
        raise ControlError("%s must be an integer from %d to %d" % (what, low, high))
    return value


def _from_json(value):
    """Writer arguments: {"hex": ...} becomes bytes, lists stay lists, the rest as it is."""
    if isinstance(value, dict):
        if set(value) != {"hex"} or not isinstance(value["hex"], str):
            raise ControlError("an object argument must be {\"hex\": ...}")
        return _hex(value["hex"])
    if isinstance(value, list):
        return [_from_json(v) for v in value]
    return value


def _hex(text):
    try:
        return bytes.fromhex(text)
    except ValueError:
        raise ControlError("not hex: %.40s" % text) from None


class _Budgeted:
    """A control connection as the connection budget sees it: one to close for room before
    its first command."""

    def __init__(self, writer):
        self.writer = writer
        self.reason = None

    def close(self, reason, abort=False):
        if self.reason is None:
            self.reason = reason
        if abort:
            self.writer.transport.abort()
        else:
            self.writer.close()


class ControlService:
    def __init__(self, server):
        self.server = server
        self.log = server.log
        self._budget = None
        self._tasks = {}   # task -> its connection's writer
        self.commands = {
            "send": self._send, "chunk": self._chunk, "hold": self._hold, "release": self._release,
            "close": self._close, "connections": self._connections, "listen": self._listen,
            "items": self._items,
        }
        self.commands["player"] = self._player
        self.commands.update(server.lobby.item_data_commands())

    def start(self, port, budget):
        # Never reachable from outside the machine, whatever --host says; within the same cap
        # as the clients' connections, so that control connections cannot use up the descriptors.
        self._budget = budget
        return Listener("127.0.0.1", port, self._session, budget, lambda: asyncio.StreamReader(MAX_LINE + 1))

    def tasks(self):
        return list(self._tasks)

    def close_all(self):
        for writer in self._tasks.values():
            writer.close()

    async def _session(self, reader, writer):
        task = asyncio.current_task()
        self._tasks[task] = writer
        loop = asyncio.get_running_loop()
        # Until its first command, like a client connection that has not logged in: a stuck
        # script cannot keep the players out.
        budgeted = _Budgeted(writer)
        self._budget.waiting(budgeted)
        deadline = loop.time() + self.server.cfg.login_timeout
        commanded = False
        reason = "closed by peer"
        try:
            while True:
                try:
                    if commanded:
                        line = await reader.readline()
                    else:
                        line = await asyncio.wait_for(reader.readline(), deadline - loop.time())
                except asyncio.TimeoutError:
                    reason = "no command within %.1f s" % self.server.cfg.login_timeout
                    break
                except ValueError:    # longer than MAX_LINE: this control connection only
                    reason = "line longer than %d bytes" % MAX_LINE
                    break
                except (ConnectionError, OSError):
                    break
                if not line or budgeted.reason is not None:   # ended, or closed for room
                    break
                if not line.strip():
                    continue
                answer = self.handle(line)
                if answer["ok"] and not commanded:
                    commanded = True
                    self._budget.admitted(budgeted)
                writer.write((json.dumps(answer) + "\n").encode("ascii"))
                await writer.drain()
        except (ConnectionError, OSError):
            pass
        except asyncio.CancelledError:   # a stop: ended like any other (see Server.stop)
            reason = "server shutdown"
        finally:
            self._tasks.pop(task, None)
            self._budget.closed(budgeted)
            reason = budgeted.reason or reason
            self.log.write("control_close", reason=reason)
            writer.close()

    def handle(self, line):
        """One command line -> its answer. Never raises."""
        try:
            try:
                command = json.loads(line)
            except (ValueError, UnicodeDecodeError) as err:
                raise ControlError("not JSON: %s" % err) from None
            if not isinstance(command, dict):
                raise ControlError("a command must be a JSON object")
            name = command.get("cmd")
            handler = self.commands.get(name) if isinstance(name, str) else None
            if handler is None:
                raise ControlError("unknown command %r" % (name,))
            answer = handler(command)
        except ControlError as err:
            self.log.write("control", ok=False, error=str(err))
            return {"ok": False, "error": str(err)}
        except Exception:     # a fault of the server itself: reported, the channel goes on
            trace = traceback.format_exc()
            self.log.write("internal_error", conn="control", trace=trace)
            return {"ok": False, "error": "internal error: " + trace.strip().splitlines()[-1]}
        self.log.write("control", ok=True, cmd=name, **{k: v for k, v in answer.items() if k == "conn"})
        answer["ok"] = True
        return answer

    # ---- addressing ----

    def _target(self, command, needed=True):
        """The open connection the command names, or None when it names none and may."""
        conn = command.get("conn")
        user = command.get("user")
        if user is None:
            if conn is None and not needed:
                return None
            if not isinstance(conn, str):
                raise ControlError("missing connection: give \"conn\" (\"L3\") or \"user\" and \"conn\"")
            found = self.server.connections.get(conn)
            if found is None or found.closed:
                raise ControlError("no open connection %s" % conn)
            return found
        _integer(user, "user", -(1 << 31), (1 << 31) - 1)
        if conn not in ("lobby", "game"):
            raise ControlError("with \"user\", \"conn\" must be \"lobby\" or \"game\"")
        kind = "L" if conn == "lobby" else "G"
        matches = [c for c in self.server.connections.values()
                   if not c.closed and c.kind == kind and self._user_of(c) == user]
        if not matches:
            raise ControlError("user %d has no open %s connection" % (user, conn))
        return max(matches, key=lambda c: int(c.name[1:]))   # the newest

    @staticmethod
    def _user_of(conn):
        state = conn.state
        if conn.kind == "L":
            return getattr(state, "user_id", None)
        slot = getattr(state, "slot", None)
        return slot.user_id if slot is not None and slot.game is conn else None

    # ---- commands ----

    def _send(self, command):
        conn = self._target(command)
        if ("hex" in command) == ("message" in command):
            raise ControlError("send needs either \"hex\" or \"message\"")
        fields = None
        if "hex" in command:
            if not isinstance(command["hex"], str):
                raise ControlError("\"hex\" must be a text")
            data = _hex(command["hex"])
        else:
            data, fields = self._written(command)
        if not data:
            raise ControlError("nothing to send")
        if len(data) > conn.room():
            raise ControlError("%d bytes exceed the output bound of %s (%d bytes free)"
                               % (len(data), conn.name, max(0, conn.room())))
        conn.send_direct(data, fields)
        return {"conn": conn.name, "hex": data.hex()}

    def _written(self, command):
        name = command["message"]
        writer = WRITERS.get(name) if isinstance(name, str) else None
        if writer is None:
            raise ControlError("no writer %r; writers: %s" % (name, ", ".join(sorted(WRITERS))))
        args = command.get("args", [])
        try:
            if isinstance(args, list):
                data = writer(*[_from_json(a) for a in args])
            elif isinstance(args, dict):
                data = writer(**{k: _from_json(v) for k, v in args.items()})
            else:
                raise ControlError("\"args\" must be a list or an object")
        except (TypeError, ValueError, AttributeError, OverflowError, IndexError, KeyError) as err:
            raise ControlError("%s does not take %s: %s" % (name, json.dumps(args)[:200], err)) from None
        return data, {"writer": name, "args": args}

    def _chunk(self, command):
        conn = self._target(command)
        sizes = command.get("sizes")
        if not isinstance(sizes, list):
            raise ControlError("\"sizes\" must be a list of piece sizes")
        for size in sizes:
            _integer(size, "a piece size", 1, MAX_PIECE)
        conn.set_chunks(sizes)
        return {"conn": conn.name, "sizes": sizes}

    def _message_id(self, command):
        return _integer(command.get("id"), "\"id\"", 0, 127)

    def _hold(self, command):
        msg_id = self._message_id(command)
        conn = self._target(command, needed=False)
        if conn is None:
            self.server.holds.add(msg_id)
            return {"id": msg_id}
        conn.holds.add(msg_id)
        return {"id": msg_id, "conn": conn.name}

    def _release(self, command):
        msg_id = self._message_id(command)
        conn = self._target(command, needed=False)
        if conn is not None:
            return {"id": msg_id, "conn": conn.name, "released": conn.release(msg_id)}
        self.server.holds.discard(msg_id)
        released = sum(c.release(msg_id) for c in list(self.server.connections.values()) if not c.closed)
        return {"id": msg_id, "released": released}

    def _close(self, command):
        conn = self._target(command)
        conn.close("closed by control")
        return {"conn": conn.name}

    def _connections(self, command):
        listed = []
        for conn in sorted(self.server.connections.values(), key=lambda c: (c.kind, int(c.name[1:]))):
            if not conn.closed:
                listed.append({"conn": conn.name, "kind": "lobby" if conn.kind == "L" else "game",
                               "user": self._user_of(conn), "pending": conn.framer.pending})
        return {"connections": listed}

    def _player(self, command):
        """Where a user stands, as the server sees it now: lets a test wait until its queue
        registration has arrived before it sends a challenge from another connection."""
        user = _integer(command.get("user"), "user", -(1 << 31), (1 << 31) - 1)
        client = next((c for c in self.server.lobby.clients if c.logged_in and c.user_id == user), None)
        if client is None:
            return {"user": user, "online": False, "queued": False, "in_match": False}
        return {"user": user, "online": True, "queued": client.queued_app is not None,
                "in_match": self.server.games.game_open(client)}

    def _listen(self, command):
        on = command.get("on")
        if not isinstance(on, bool):
            raise ControlError("\"on\" must be true or false")
        self.server.set_lobby_listening(on)
        return {"listening": self.server.lobby_listening(), "port": self.server.lobby_port}

    def _items(self, command):
        user = _integer(command.get("user"), "\"user\"", 0, (1 << 31) - 1)
        try:
            in_game_list = parse_list(command)
        except ValueError as err:
            raise ControlError(str(err)) from None
        self.server.lobby.ingame.set(user, in_game_list)
        return {"user": user, "items": len(in_game_list.items), "undelivered": in_game_list.undelivered}

"""The game server: match sessions, the GameReady handshake, the relay of game messages
and chat between the two players, results, rematches and departures.

Sections: Slot and GameSession; GameService (pairing entry, dispatch, handlers, clean-up).
"""

import asyncio
import collections
import random
import time
import traceback

from . import messages
from .catalogue import BOTH_IDS, FRAMEWORK_VERSION, GAME_IDS, IDS, by_name
from .service import Service

CHAT_LINE = 2  # a player's own words; the other chat types are the match's notices
CHAT_BURST_SECONDS = 2.0  # a quiet player may send this many seconds' worth of lines at once
RELAY_BURST_SECONDS = 1.0  # and this many seconds' worth of game messages
DROP_LOG_INTERVAL = 10.0  # seconds between a connection's lines counting what it had dropped

HANDSHAKE, PLAYING, REMATCH = "handshake", "playing", "rematch"


class Slot:
    """One player's seat in a session."""

    def __init__(self, client):
        self.user_id = client.user_id
        self.name = client.name
        self.lobby = client
        self.game = None      # bound game connection
        self.left = False     # its game connection was bound and has closed
        self.ready = False
        self.wish = None
        self.report = None
        self.fault_rng = None  # relay fault generator of this player's direction


class GameSession:
    def __init__(self, session_id, app, clients, master, now):
        self.id = session_id
        self.app = app
        self.slots = [Slot(c) for c in clients]
        self.master = master
        self.state = HANDSHAKE
        self.matches = 0          # GameStarts sent on the game connections
        self.result_logged = False
        self.last_activity = now

    def start_message(self, index, address):
        players = [(s.user_id, s.name) for s in self.slots]
        return messages.game_start(self.id, players, 1 if index == self.master else 0, address)

    def slot_of_user(self, user_id):
        return next((s for s in self.slots if s.user_id == user_id), None)

    def other(self, slot):
        return self.slots[1] if slot is self.slots[0] else self.slots[0]


class Allowance:
    """A token bucket: rate messages a second, up to burst_seconds' worth of them at once.
    However long a sender stays quiet, it never saves up more than that burst."""

    def __init__(self, rate, burst_seconds, now):
        self.rate = rate
        self.capacity = max(1.0, rate * burst_seconds)
        self.tokens = self.capacity
        self.at = now

    def take(self, now):
        self.tokens = min(self.capacity, self.tokens + (now - self.at) * self.rate)
        self.at = now
        if self.tokens < 1.0:
            return False
        self.tokens -= 1.0
        return True


class GameLink:
    def __init__(self, cfg, now):
        self.session = None
        self.slot = None
        self.allowances = {IDS["ChatMessage"]: Allowance(cfg.chat_rate, CHAT_BURST_SECONDS, now),
                           IDS["GameMessage"]: Allowance(cfg.relay_rate, RELAY_BURST_SECONDS, now)}
        self.dropped = collections.Counter()   # what was dropped since the last "dropped" line
        self.drop_timer = None


class GameService(Service):
    connection_word = "game"
    accepted_ids = GAME_IDS | BOTH_IDS

    def __init__(self, server):
        super().__init__(server)
        self.sessions = {}
        self.ended = set()
        self._next_session = 1
        self.results = []   # finished matches: {"players": [id, name] pairs, "winner", "time"}
        self.handlers = by_name({"GameMessage": self._game_message, "GameEnd": self._game_end,
                                 "ChatMessage": self._chat, "Rematch": self._rematch})

    def address(self):
        return "%s:%d" % (self.cfg.advertise_host, self.server.game_port)

    # ---- sessions ----

    def game_open(self, client):
        session = client.session
        if session is None:
            return False
        return any(s.lobby is client and s.game is not None for s in session.slots)

    def start_session(self, app, first, second):
        now = asyncio.get_running_loop().time()
        session = GameSession(self._next_session, app, [first, second], self.cfg.master_slot, now)
        self._next_session += 1
        self.sessions[session.id] = session
        self.log.write("paired", session=session.id, app=app,
                       players=[s.user_id for s in session.slots], master=session.master)
        players = [[s.user_id, s.name] for s in session.slots]
        for index, slot in enumerate(session.slots):
            slot.lobby.session = session
            if self.cfg.queue_updates:
                # Status 0: the client rebuilds its lobby from these players.
                slot.lobby.conn.send(messages.queue_update(players, 0, app, 0),
                                     {"players": players, "a": 0, "app": app, "status": 0})
            slot.lobby.conn.send(session.start_message(index, self.address()))
        return session

    def remove_session(self, session, reason):
        if self.sessions.pop(session.id, None) is None:
            return
        self.ended.add(session.id)
        self._log_result(session)
        self.log.write("session_end", session=session.id, reason=reason)
        for slot in session.slots:
            if slot.game is not None:
                slot.game.close(reason)
        self.server.lobby.pair_all()

    async def sweep(self):
        """Removes sessions without any game traffic for the abandonment time-out."""
        loop = asyncio.get_running_loop()
        interval = max(0.05, min(5.0, self.cfg.abandon_timeout / 4))
        while True:
            await asyncio.sleep(interval)
            now = loop.time()
            for session in list(self.sessions.values()):
                if now - session.last_activity > self.cfg.abandon_timeout:
                    try:
                        self.remove_session(session, "abandoned")
                    except Exception:
                        self.log.write("internal_error", session=session.id, trace=traceback.format_exc())

    # ---- recorded results ----

    def results_of(self, user_id):
        """The user's finished matches, newest first: result 1 won, -1 lost, 0 tie."""
        out = []
        for record in reversed(self.results):
            ids = [uid for uid, _name in record["players"]]
            if user_id not in ids:
                continue
            opponent = next((name for uid, name in record["players"] if uid != user_id), "")
            winner = record["winner"]
            result = 0 if winner is None else (1 if winner == user_id else -1)
            out.append({"result": result, "opponent": opponent, "time": record["time"]})
        return out

    # ---- connection life and dispatch ----

    def on_open(self, conn):
        conn.state = GameLink(self.cfg, asyncio.get_running_loop().time())

    def admit(self, conn, msg_id):
        """Chat lines and game messages beyond their allowance are dropped unread: a flood
        would fill the opponent's memory, and a line logged for each would fill the log."""
        allowance = conn.state.allowances.get(msg_id)
        if allowance is None or allowance.take(asyncio.get_running_loop().time()):
            return True
        self._count_drop(conn, "chat_rate" if msg_id == IDS["ChatMessage"] else "relay_rate")
        return False

    def _count_drop(self, conn, why):
        link = conn.state
        link.dropped[why] += 1
        if link.drop_timer is None:
            link.drop_timer = asyncio.get_running_loop().call_later(DROP_LOG_INTERVAL, self._log_drops, conn)

    def _log_drops(self, conn):
        link = conn.state
        if link.drop_timer is not None:
            link.drop_timer.cancel()
            link.drop_timer = None
        if link.dropped:
            self.log.write("dropped", conn=conn.name, counts=dict(link.dropped))
            link.dropped.clear()

    def shutdown(self):
        """Ends every session as the server stops, before its connections close."""
        for session in list(self.sessions.values()):
            self.remove_session(session, "server shutdown")

    def on_close(self, conn):
        self._log_drops(conn)   # what is left of the last interval
        link = conn.state
        slot, session = link.slot, link.session
        if slot is None or slot.game is not conn:
            return
        slot.game = None
        slot.left = True
        other = session.other(slot)
        if other.game is not None:
            # The only way the opponent learns that this player is gone.
            other.game.send(messages.game_disconnect(session.id, slot.user_id),
                            {"session": session.id, "player": slot.user_id})
        if all(s.game is None for s in session.slots):
            self.remove_session(session, "both players left")
        else:
            self.server.lobby.pair_all()

    def lobby_closed(self, client):
        """A paired player whose lobby connection closes before his game connection came
        will not come (the game ends its session when it cannot open that connection): the
        match is over, and the opponent is told so at once rather than after the abandonment
        time-out."""
        session = client.session
        if session is None or self.sessions.get(session.id) is not session or session.matches:
            return
        slot = next((s for s in session.slots if s.lobby is client), None)
        if slot is None or slot.game is not None or slot.left:
            return
        other = session.other(slot)
        if other.game is not None:
            other.game.send(messages.game_disconnect(session.id, slot.user_id),
                            {"session": session.id, "player": slot.user_id})
        self.remove_session(session, "a player left before the match")

    def dispatch(self, conn, msg_id, fields):
        link = conn.state
        if link.session is not None:
            link.session.last_activity = asyncio.get_running_loop().time()
        if msg_id == IDS["Alive"]:
            if fields["value"] < 0:
                conn.send(messages.alive(fields["value"]))
        elif msg_id == IDS["GameReady"]:
            self._game_ready(conn, fields)
        elif link.slot is None:
            self.log.violation(conn, "message %d before GameReady" % msg_id)
        elif link.session.matches == 0:
            self.log.violation(conn, "message %d before the match started" % msg_id)
        else:
            self.handlers[msg_id](conn, link.session, link.slot, fields)

    # ---- handshake ----

    def _game_ready(self, conn, fields):
        link = conn.state
        session = self.sessions.get(fields["session"])
        if session is None:
            if fields["session"] in self.ended:
                # A player arriving after the other one left: send it back to the lobby.
                self.log.write("late", conn=conn.name, session=fields["session"])
                conn.close("session over")
            else:
                self.log.violation(conn, "GameReady for unknown session %d" % fields["session"])
            return
        slot = session.slot_of_user(fields["user"])
        if slot is None:
            self.log.violation(conn, "GameReady from user %d, not a player of session %d"
                               % (fields["user"], session.id))
            return
        if link.slot is not None and link.slot is not slot:
            self.log.violation(conn, "GameReady for another seat than this connection's")
            return
        if slot.game is not None and slot.game is not conn:
            self.log.violation(conn, "user %d already has a game connection" % slot.user_id)
            return
        if fields["app"] != session.app:
            self.log.violation(conn, "GameReady for app %d, session is app %d"
                               % (fields["app"], session.app))
            return
        if session.state == PLAYING:
            self.log.violation(conn, "GameReady during a match")
            return
        expected = 1 if session.slots.index(slot) == session.master else 0
        if fields["start_flag"] != expected:
            self.log.violation(conn, "GameReady start flag %d, GameStart gave %d"
                               % (fields["start_flag"], expected))
        written = (fields["one"], fields["player_count"], fields["framework"])
        if self.cfg.strict and written != (1, 2, FRAMEWORK_VERSION):
            self.log.violation(conn, "GameReady values differ from the client's writer")
        slot.game = conn
        link.session, link.slot = session, slot
        conn.identified = True
        conn.admit()
        slot.ready = True
        if all(s.ready for s in session.slots):
            self._start_match(session)

    def _start_match(self, session):
        address = self.address()
        for index, slot in enumerate(session.slots):
            slot.ready = False
            slot.game.send(session.start_message(index, address))
        session.state = PLAYING
        session.matches += 1
        session.result_logged = False
        self.log.write("match_start", session=session.id, match=session.matches)

    # ---- during a match ----

    def _game_message(self, conn, session, slot, fields):
        payload = fields["payload"]
        if not 1 <= len(payload) <= self.cfg.max_payload:
            self.log.violation(conn, "GameMessage payload of %d bytes not relayed" % len(payload))
            return
        if self.cfg.strict and len(payload) < 12:
            self.log.violation(conn, "GameMessage payload of %d bytes is shorter than an event"
                               % len(payload))
            return
        target = session.other(slot).game
        if target is None:
            self._count_drop(conn, "no_opponent")
            return
        copies = self._relay_copies(session, slot, conn, payload)
        for _ in range(copies):
            target.send(messages.game_message(payload), {"payload": payload})

    def _relay_copies(self, session, slot, conn, payload):
        """How often this message goes out under --relay-faults: 0, 1 or 2."""
        faults = self.cfg.relay_faults
        if faults is None:
            return 1
        drop, duplicate, seed = faults
        # One generator per direction, so one side's traffic does not shift the other's faults.
        rng = slot.fault_rng
        if rng is None:
            rng = slot.fault_rng = random.Random("%d/%d/%d" % (seed, session.id, session.slots.index(slot)))
        draw = rng.random()
        kind = "drop" if draw < drop else "duplicate" if draw < drop + duplicate else None
        if kind is None:
            return 1
        self.log.write("relay_fault", conn=conn.name, kind=kind, length=len(payload),
                       head=bytes(payload[:16]))
        return 0 if kind == "drop" else 2

    def _chat(self, conn, session, slot, fields):
        size = len(fields["text"].encode("utf-8", "surrogatepass"))
        if size > self.cfg.max_chat:
            self.log.violation(conn, "chat text of %d bytes not relayed" % size)
            return
        if fields["sender"] != slot.user_id:
            self.log.violation(conn, "chat sender %d, connection is user %d"
                               % (fields["sender"], slot.user_id))
        other = session.other(slot)
        # A player who blocked the sender reads none of his lines; the match's notices still pass.
        if fields["type"] == CHAT_LINE and self.server.lobby.blocks(other.lobby, slot.user_id):
            self.log.write("chat_blocked", conn=conn.name, sender=slot.user_id, receiver=other.user_id)
            return
        target = other.game
        if target is not None:
            target.send(messages.chat_message(fields["type"], fields["text"], slot.user_id),
                        {"type": fields["type"], "text": fields["text"], "sender": slot.user_id})

    def _game_end(self, conn, session, slot, fields):
        players, ranks = fields["players"], fields["ranks"]
        problem = None
        if fields["session"] != session.id:
            problem = "session %d, connection is in session %d" % (fields["session"], session.id)
        elif fields["app"] != session.app:
            problem = "app %d, session is app %d" % (fields["app"], session.app)
        elif sorted(players) != sorted(s.user_id for s in session.slots):
            problem = "players %r are not the session's" % (players,)
        elif len(ranks) != 2 or any(r not in (1, 2) for r in ranks):
            problem = "ranks %r" % (ranks,)
        elif fields["leaving"] not in (0, 1):
            problem = "leaving flag %d" % fields["leaving"]
        if problem:
            self.log.violation(conn, "GameEnd dropped: " + problem)
            return
        if self.cfg.strict and fields["zero"] != 0:
            self.log.violation(conn, "GameEnd field 2 is %d, the client writes 0" % fields["zero"])
        report = {"ranks": {str(p): r for p, r in zip(players, ranks)}, "leaving": fields["leaving"]}
        if slot.report is not None:
            self.log.write("game_end_repeat", conn=conn.name, session=session.id, report=report)
            return
        slot.report = report
        self.log.write("game_end", conn=conn.name, session=session.id, user=slot.user_id, report=report)
        # One whose game connection closed without a report sends none any more.
        if all(s.report is not None or s.left for s in session.slots):
            self._log_result(session)

    def _log_result(self, session):
        reports = [s.report for s in session.slots if s.report is not None]
        if session.result_logged or not reports:
            return
        session.result_logged = True
        agreed = len(reports) == 2 and reports[0]["ranks"] == reports[1]["ranks"]
        ranks = reports[0]["ranks"] if len(reports) == 1 or agreed else None
        winner = None
        if ranks:
            firsts = [int(p) for p, r in ranks.items() if r == 1]
            winner = firsts[0] if len(firsts) == 1 else None
        if ranks:
            self.results.append({"players": [(s.user_id, s.name) for s in session.slots], "winner": winner,
                                 "time": time.time()})
            self.server.lobby.record_match(session.slots, winner, self.results[-1]["time"])
        self.log.write("match_result", session=session.id, match=session.matches,
                       reports=len(reports), agreed=agreed, winner=winner,
                       tie=bool(ranks) and winner is None, details=reports)

    def _rematch(self, conn, session, slot, fields):
        if fields["session"] != session.id:
            self.log.violation(conn, "Rematch for session %d, connection is in session %d"
                               % (fields["session"], session.id))
            return
        if fields["wish"] not in (0, 1):
            self.log.violation(conn, "Rematch wish %d" % fields["wish"])
            return
        if self.cfg.strict and fields["one"] != 1:
            self.log.violation(conn, "Rematch field 2 is %d, the client writes 1" % fields["one"])
        if session.state != PLAYING:
            self.log.violation(conn, "Rematch while no match is running")
            return
        slot.wish = fields["wish"]
        if not all(s.wish == 1 and s.game is not None for s in session.slots):
            return
        self._log_result(session)
        for s in session.slots:
            s.wish = None
            s.report = None
            s.game.send(messages.rematch_received(3), {"value": 3})
        session.state = REMATCH
        self.log.write("rematch", session=session.id)

"""Quick-play pairing, the game handshake, relay of game messages and chat, results,
rematch and departure."""

import os
import signal
import struct
import threading
import time
import unittest

from lobbyserver.app import Config
from lobbyserver.game import CHAT_BURST_SECONDS, RELAY_BURST_SECONDS, Allowance
from tests import rawclient as rc
from tests.patience import PATIENCE
from tests.serverproc import ServerTestCase


def players_of(game_start):
    """(user id, name) pairs of a GameStart's player list."""
    data, pos, out = game_start.fields()[1], 0, []
    while pos < len(data):
        assert data[pos] == 0x30
        size, header = rc.read_length(data, pos + 1)
        record = rc.Message(bytes([0xA0]) + data[pos + 1:pos + 1 + header + size]).fields()
        out.append((int.from_bytes(record[0], "big", signed=True), record[1].decode()))
        pos += 1 + header + size
    return out


def event(kind, ident, stamp=-1, extra=b""):
    """A game event as the game writes it: 12-byte little-endian header, then its payload."""
    return struct.pack("<B3xii", kind, ident, stamp) + extra


class Player:
    def __init__(self, case, port):
        self.lobby, self.id, self.name = rc.guest(port)
        case.track(self.lobby)
        self.case = case
        self.game = None

    def join_game(self, start):
        host, _, port = start.text(4).partition(":")
        self.game = self.case.track(rc.RawClient(int(port), host))
        # The game connection coming up starts the 0x401 round on the lobby connection.
        self.lobby.send(rc.GROUPS_401)
        self.lobby.expect_bytes(rc.GROUPS_401_ANSWER)
        self.lobby.send(rc.ITEMS_401)
        self.lobby.expect_bytes(rc.ITEMS_401_ANSWER)
        self.game.send(rc.game_ready(start.long(0), self.id, start.int(2)))


class MatchCase(ServerTestCase):
    def start_match(self, a=None, b=None):
        """Two players (new guests unless given) queued, paired and in the match."""
        a = a or Player(self, self.server.lobby_port)
        b = b or Player(self, self.server.lobby_port)
        a.lobby.send(rc.QUEUE_LOBBY)
        b.lobby.send(rc.QUEUE_GAME)
        starts = [p.lobby.expect(rc.GAME_START_ID) for p in (a, b)]
        for player, start in zip((a, b), starts):
            player.join_game(start)
        game_starts = [p.game.expect(rc.GAME_START_ID) for p in (a, b)]
        return a, b, starts, game_starts


class Pairing(MatchCase, unittest.TestCase):
    def test_two_clients_meet_and_each_sees_the_game_start(self):
        a, b, starts, game_starts = self.start_match()
        self.assertEqual(starts[0].long(0), starts[1].long(0))
        self.assertEqual(players_of(starts[0]), [(a.id, a.name), (b.id, b.name)])
        self.assertEqual(players_of(starts[1]), players_of(starts[0]))
        flags = [(s.int(2), s.int(3)) for s in starts]
        self.assertEqual(flags, [(1, 1), (0, 0)])   # one master, both flag fields equal
        self.assertEqual(starts[0].text(4), "127.0.0.1:%d" % self.server.game_port)
        self.assertEqual(starts[0].int(5), 0)
        # The game connection's copy is the lobby's, per recipient.
        self.assertEqual([g.data for g in game_starts], [s.data for s in starts])

    def test_no_game_start_before_both_are_ready(self):
        a, b = Player(self, self.server.lobby_port), Player(self, self.server.lobby_port)
        a.lobby.send(rc.QUEUE_LOBBY)
        a.lobby.expect_quiet()
        b.lobby.send(rc.QUEUE_LOBBY)
        start_a = a.lobby.expect(rc.GAME_START_ID)
        b.lobby.expect(rc.GAME_START_ID)
        a.join_game(start_a)
        a.game.expect_quiet()
        a.lobby.send(rc.QUEUE_LEAVE)   # a late leave after pairing changes nothing
        a.game.send(rc.ALIVE_MINUS_ONE)
        a.game.expect_bytes(rc.ALIVE_MINUS_ONE)

    def test_leaving_the_queue_or_closing_the_connection_prevents_pairing(self):
        a, b = Player(self, self.server.lobby_port), Player(self, self.server.lobby_port)
        a.lobby.send(rc.QUEUE_LOBBY + rc.QUEUE_LEAVE)
        self.server.wait_for("in", name="QueueUnregisterFrom")
        # Queued, then gone without a word: its closed connection is no opponent.
        gone = Player(self, self.server.lobby_port)
        gone.lobby.send(rc.QUEUE_LOBBY)
        self.server.wait_for("in", name="QueueRegisterIn", count=2)
        gone.lobby.close()
        self.server.wait_for("close", count=1)
        b.lobby.send(rc.QUEUE_LOBBY)
        b.lobby.expect_quiet()
        self.assertEqual(self.server.events("paired"), [])
        c = Player(self, self.server.lobby_port)
        c.lobby.send(rc.QUEUE_LOBBY)
        self.assertEqual(players_of(c.lobby.expect(rc.GAME_START_ID)), [(b.id, b.name), (c.id, c.name)])


class SecondIsMaster(MatchCase, unittest.TestCase):
    server_args = ("--master", "second")

    def test_the_later_joiner_can_be_master(self):
        _, _, starts, game_starts = self.start_match()
        self.assertEqual([(s.int(2), s.int(3)) for s in starts], [(0, 0), (1, 1)])
        self.assertEqual([g.data for g in game_starts], [s.data for s in starts])


class Relay(MatchCase, unittest.TestCase):
    server_args = ("--relay-rate", "100000")

    def test_thousand_messages_each_way_in_order(self):
        a, b, starts, _ = self.start_match()
        count, big_at = 1000, 500
        big = bytes(range(256)) * 256 + bytes(16)      # 65,552 bytes
        self.assertEqual(len(big), 65552)

        def payload(sender, i):
            return big if i == big_at else event(43, i, i, bytes([sender]) * (i % 40))

        received = {}

        def reader(player, sender):
            got = []
            for _ in range(count):
                got.append(player.game.expect(rc.GAME_MESSAGE_ID).fields()[0])
            received[sender] = got

        threads = [threading.Thread(target=reader, args=(b, 1)), threading.Thread(target=reader, args=(a, 2))]
        for t in threads:
            t.start()
        for i in range(count):
            a.game.send(rc.game_message(payload(1, i)))
            b.game.send(rc.game_message(payload(2, i)))
        for t in threads:
            t.join(PATIENCE)
        for sender in (1, 2):
            self.assertEqual(received[sender], [payload(sender, i) for i in range(count)])

    def test_chat_goes_to_the_opponent_only(self):
        a, b, _, _ = self.start_match()
        a.game.send(rc.chat(2, "hello \U0001F600 caf\u00e9", a.id))
        line = b.game.expect(rc.CHAT_ID)
        self.assertEqual((line.int(0), line.text(1), line.int(2)), (2, "hello \ud83d\ude00 caf\u00e9", a.id))
        self.assertIn(bytes.fromhex("ED A0 BD ED B8 80"), line.data)   # halves unchanged
        b.game.send(rc.game_message(event(25, 5)))
        a.game.expect(rc.GAME_MESSAGE_ID)    # the next thing a sees is b's event, no echo
        # Once b blocks a, a's lines stop at the server; his notices still reach b.
        b.lobby.send(rc.message(76, rc.integer(a.id), rc.integer(1)))
        self.server.wait_for("in", name="BlockUser")
        a.game.send(rc.chat(2, "still there?", a.id))
        a.game.send(rc.chat(4, "", a.id))
        self.assertEqual(b.game.expect(rc.CHAT_ID).int(0), 4)

    def test_game_end_is_recorded(self):
        a, b, starts, _ = self.start_match()
        sid = starts[0].long(0)
        a.game.send(rc.game_end(sid, [a.id, b.id], [1, 2]))
        b.game.send(rc.game_end(sid, [a.id, b.id], [1, 2]))
        result = self.server.wait_for("match_result")
        self.assertEqual(len(result), 1)
        self.assertEqual((result[0]["winner"], result[0]["agreed"]), (a.id, True))
        a.game.send(rc.game_end(sid, [a.id, b.id], [2, 1], leaving=1))   # later report: logged only
        self.server.wait_for("game_end_repeat")
        self.assertEqual(len(self.server.events("match_result")), 1)
        a.game.expect_quiet()
        b.game.expect_quiet()

    def test_rematch_restarts_on_the_same_connections(self):
        a, b, starts, _ = self.start_match()
        sid = starts[0].long(0)
        for p in (a, b):
            p.game.send(rc.game_end(sid, [a.id, b.id], [1, 1]))
        a.game.send(rc.rematch(sid, 1))
        a.game.expect_quiet()
        b.game.send(rc.rematch(sid, 1))
        for p, start in zip((a, b), starts):
            p.game.expect_bytes(rc.REMATCH_AGREED)
            p.lobby.send(rc.GROUPS_401)
            p.lobby.expect_bytes(rc.GROUPS_401_ANSWER)
            p.game.send(rc.game_ready(sid, p.id, start.int(2)))
        for p, start in zip((a, b), starts):
            self.assertEqual(p.game.expect(rc.GAME_START_ID).data, start.data)
        self.assertTrue(self.server.wait_for("match_result", tie=True))
        a.game.send(rc.game_message(event(5, 1)))
        b.game.expect(rc.GAME_MESSAGE_ID)

    def test_closed_game_connection_tells_the_other(self):
        a, b, starts, _ = self.start_match()
        sid = starts[0].long(0)
        a.game.send(rc.game_end(sid, [b.id, a.id], [1, 2], leaving=1))
        a.game.send(rc.rematch(sid, 0))
        a.game.close()
        gone = b.game.expect(rc.GAME_DISCONNECT_ID)
        self.assertEqual(gone.data, rc.message(72, rc.long_integer(sid), rc.integer(a.id)))
        b.game.send(rc.game_end(sid, [b.id, a.id], [1, 2]))
        self.assertEqual(self.server.wait_for("match_result")[0]["winner"], b.id)
        # Back in the lobby both can be paired again once their game connections are gone.
        b.game.close()
        a.lobby.send(rc.QUEUE_GAME)
        b.lobby.send(rc.QUEUE_GAME)
        self.assertNotEqual(a.lobby.expect(rc.GAME_START_ID).long(0), sid)

        # A player whose game cannot open its game connection ends its session: the one who
        # joined hears at once that the match is over.
        a.lobby.send(rc.QUEUE_GAME)
        b.lobby.send(rc.QUEUE_GAME)
        start = a.lobby.expect(rc.GAME_START_ID)
        b.lobby.expect(rc.GAME_START_ID)
        a.join_game(start)
        b.lobby.close()
        gone = a.game.expect(rc.GAME_DISCONNECT_ID)
        self.assertEqual(gone.data, rc.message(72, rc.long_integer(start.long(0)), rc.integer(b.id)))
        a.game.expect_closed()
        self.assertEqual(self.server.wait_for("session_end", session=start.long(0))[0]["reason"],
                         "a player left before the match")

    def test_the_stayers_report_is_recorded_once_the_other_left_without_one(self):
        a, b, starts, _ = self.start_match()
        sid = starts[0].long(0)
        a.game.close()   # a's game died: it reports nothing
        b.game.expect(rc.GAME_DISCONNECT_ID)
        b.game.send(rc.game_end(sid, [a.id, b.id], [2, 1]))
        # At once, while b's game connection still stands.
        result = self.server.wait_for("match_result")[0]
        self.assertEqual((result["winner"], result["reports"]), (b.id, 1))
        self.assertEqual(self.server.events("session_end"), [])


class Flood(MatchCase, unittest.TestCase):
    # The relayed messages are logged, about 100 KB for each second the flood takes to be read,
    # which a loaded machine stretches: the log has room for a minute of it. That the drops are
    # counted, not logged one by one, is checked on the lines themselves.
    server_args = ("--chat-rate", "10", "--log-max-bytes", "6000000")

    def test_a_flood_is_cut_to_the_budgets_counted_in_few_lines_and_the_match_goes_on(self):
        a, b, _, _ = self.start_match()
        chats, moves = 300, 2000
        began = time.monotonic()
        for i in range(chats):
            a.game.send(rc.chat(2, "flood %d " % i + "x" * 990, a.id))
        for i in range(moves):
            a.game.send(rc.game_message(event(43, i)))
        # The end mark must find the allowance refilled: the answer to an Alive shows that the
        # server has read the flood (a connection's messages are read in order), and a tenth
        # of a second after that is room for one more game message.
        a.game.send(rc.ALIVE_MINUS_ONE)
        a.game.expect(rc.ALIVE_ID)
        time.sleep(0.1)
        a.game.send(rc.game_message(event(25, -1)))
        lines, relayed = [], []
        while True:
            msg = b.game.recv()
            if msg.id == rc.CHAT_ID:
                lines.append(msg.text(1).split()[1])
            elif msg.fields()[0] == event(25, -1):
                break
            else:
                relayed.append(msg.fields()[0])
        elapsed = time.monotonic() - began
        # A burst at once, then the rate, in order; the rest dropped.
        numbers = [int(n) for n in lines]
        self.assertEqual(numbers[:20], list(range(20)))
        self.assertLessEqual(len(lines), 20 + 10 * elapsed + 1)
        self.assertEqual(numbers, sorted(set(numbers)))
        budget = int(Config().relay_rate)
        self.assertEqual(relayed[:budget], [event(43, i) for i in range(budget)])
        self.assertLessEqual(len(relayed), budget + budget * elapsed + 1)
        numbers = [struct.unpack_from("<i", p, 4)[0] for p in relayed]
        self.assertEqual(numbers, sorted(set(numbers)))

        time.sleep(0.3)    # the allowance comes back with time
        b.game.send(rc.chat(2, "still here", b.id))
        a.game.send(rc.chat(2, "me too", a.id))
        self.assertEqual((a.game.expect(rc.CHAT_ID).text(1), b.game.expect(rc.CHAT_ID).text(1)),
                         ("still here", "me too"))
        # The drops are counted, a line per connection per interval while it is open, and one
        # at its close for the rest (here what came after the opponent left); the log keeps its
        # earlier lines and only the relayed messages' own.
        self.assertEqual([r["conn"] for r in self.server.wait_for("dropped")], ["G1"])
        b.game.close()
        a.game.expect(rc.GAME_DISCONNECT_ID)
        for i in range(5):
            a.game.send(rc.game_message(event(43, i)))
        a.game.close()
        self.server.wait_for("close", conn="G1")
        dropped = self.server.events("dropped")
        self.assertLessEqual(len(dropped), 2 + elapsed / 10)
        self.assertEqual({r["conn"] for r in dropped}, {"G1"})   # a's, the first game connection
        self.assertEqual(dropped[-1]["counts"], {"no_opponent": 5})
        counts = {why: sum(r["counts"].get(why, 0) for r in dropped) for why in ("chat_rate", "relay_rate")}
        self.assertEqual(counts, {"chat_rate": chats - len(lines), "relay_rate": moves - len(relayed)})
        self.assertEqual(len(self.server.events("login")), 2)
        self.assertFalse(os.path.exists(self.server.log_path + ".1"))
        self.assertEqual(len([r for r in self.server.events("in") if r["name"] == "ChatMessage"]), len(lines) + 2)


class Allowances(unittest.TestCase):
    def test_the_chat_and_relay_budgets_refill_at_their_rate_up_to_their_burst(self):
        cfg = Config()
        for rate, burst_seconds in ((cfg.chat_rate, CHAT_BURST_SECONDS), (cfg.relay_rate, RELAY_BURST_SECONDS)):
            burst = int(rate * burst_seconds)
            allowance = Allowance(rate, burst_seconds, 0.0)

            def passed(now, count):
                return sum(allowance.take(now) for _ in range(count))

            self.assertEqual(passed(0.0, burst + 5), burst)
            # A sender exactly at the rate gets every message through.
            steps = [k / rate for k in range(1, 1001)]
            self.assertEqual(sum(allowance.take(now) for now in steps), 1000)
            # However long the quiet spell, it saves up one burst, no more.
            self.assertEqual(passed(steps[-1] + 3600.0, burst * 10), burst)


class RelayFaults(MatchCase, unittest.TestCase):
    server_args = ("--relay-faults", "0.2,0.2,7", "--relay-rate", "100000")

    def receive_until_chat(self, player):
        got = []
        while True:
            msg = player.game.recv()
            if msg.id == rc.CHAT_ID:
                return got
            self.assertEqual(msg.id, rc.GAME_MESSAGE_ID)
            got.append(msg.fields()[0])

    def test_drops_and_copies_follow_the_logged_faults_per_direction(self):
        a, b, _, _ = self.start_match()
        count = 200
        sent = {1: [event(43, i, i, b"\x01") for i in range(count)],
                2: [event(43, i, i, b"\x02" * 3) for i in range(count)]}
        for i in range(count):
            a.game.send(rc.game_message(sent[1][i]))
            b.game.send(rc.game_message(sent[2][i]))
        # Chat is never faulted and comes after the game messages on the same connection.
        a.game.send(rc.chat(2, "end", a.id))
        b.game.send(rc.chat(2, "end", b.id))
        received = {1: self.receive_until_chat(b), 2: self.receive_until_chat(a)}

        faults = self.server.events("relay_fault")
        for sender in (1, 2):
            mine = [f for f in faults if f["conn"] == self.game_conn_name(sender)]
            kinds = [f["kind"] for f in mine]
            self.assertIn("drop", kinds)
            self.assertIn("duplicate", kinds)
            self.assertEqual({f["length"] for f in mine}, {len(sent[sender][0])})
            expected_count = count - kinds.count("drop") + kinds.count("duplicate")
            self.assertEqual(len(received[sender]), expected_count)
            # Order is kept; each message arrives 0, 1 or 2 times, copies adjacent.
            positions = [sent[sender].index(p) for p in received[sender]]
            self.assertEqual(positions, sorted(positions))
            self.assertLessEqual(max(positions.count(i) for i in range(count)), 2)

    def game_conn_name(self, sender):
        # The first player's game connection opens first (join_game runs one after the other).
        opened = [r["conn"] for r in self.server.events("open") if r["conn"].startswith("G")]
        return opened[sender - 1]


class Shutdown(MatchCase, unittest.TestCase):
    def test_a_stop_during_a_match_ends_it_as_a_shutdown_and_quietly(self):
        a, b, starts, _ = self.start_match()
        a.game.send(rc.game_end(starts[0].long(0), [a.id, b.id], [1, 2]))
        self.server.wait_for("game_end")
        self.server.proc.send_signal(signal.SIGTERM)
        self.assertEqual(self.server.proc.wait(PATIENCE), 0)
        self.assertNotIn("Traceback", self.server.proc.stderr.read().decode())
        for client in (a.game, b.game, a.lobby, b.lobby):
            client.expect_closed()
        self.assertEqual([r["reason"] for r in self.server.events("session_end")], ["server shutdown"])
        self.assertEqual(len(self.server.events("match_result")), 1)
        self.assertEqual({r["reason"] for r in self.server.events("close")}, {"server shutdown"})


class Abandoned(MatchCase, unittest.TestCase):
    server_args = ("--abandon-timeout", "0.5")

    def test_a_handshake_that_never_completes_is_ended(self):
        a, b = Player(self, self.server.lobby_port), Player(self, self.server.lobby_port)
        a.lobby.send(rc.QUEUE_LOBBY)
        b.lobby.send(rc.QUEUE_LOBBY)
        start = a.lobby.expect(rc.GAME_START_ID)
        start_b = b.lobby.expect(rc.GAME_START_ID)
        a.join_game(start)
        a.game.expect_closed()    # b never came: a is sent back to the lobby
        self.assertEqual(self.server.wait_for("session_end")[0]["reason"], "abandoned")
        b.join_game(start_b)               # too late: closed without a violation
        b.game.expect_closed()
        a.lobby.send(rc.QUEUE_LOBBY)
        b.lobby.send(rc.QUEUE_LOBBY)
        self.assertEqual(a.lobby.expect(rc.GAME_START_ID).long(0), start.long(0) + 1)


class Identity(MatchCase, unittest.TestCase):
    def test_claims_that_do_not_match_the_login_are_refused(self):
        a, b, starts, _ = self.start_match()
        sid = starts[0].long(0)
        intruder = self.track(rc.RawClient(self.server.game_port))
        intruder.send(rc.game_ready(sid, a.id, 1))        # seat already taken
        intruder.send(rc.game_ready(sid, 4242, 0))        # not a player
        intruder.send(rc.game_ready(sid + 7, a.id, 1))    # no such session
        intruder.send(rc.game_message(event(5, 1)))       # not bound
        a.game.send(rc.game_end(sid + 1, [a.id, b.id], [1, 2]))   # foreign session
        a.game.send(rc.game_end(sid, [a.id, 4242], [1, 2]))       # foreign player
        a.game.send(rc.rematch(sid + 1, 1))
        a.game.send(rc.chat(2, "hi", b.id))                       # relayed as a's own line
        self.expected_violations = 8
        line = b.game.expect(rc.CHAT_ID)
        self.assertEqual(line.int(2), a.id)
        b.game.expect_quiet()
        self.assertEqual(len(self.server.wait_for("violation", 8)), 8)
        self.assertEqual(self.server.events("game_end"), [])


if __name__ == "__main__":
    unittest.main()

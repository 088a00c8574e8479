"""Challenges: MakeChallenge to each online target with the challenger's picture, the
answer forwarded to the challenger, an accepted challenge paired as quick play is, and a
challenge that can no longer be played withdrawn."""

import signal
import sqlite3
import types
import unittest

from lobbyserver.accounts import database_path
from tests import rawclient as rc
from tests.controlclient import ControlClient
from tests.patience import PATIENCE
from tests.serverproc import StoreCase
from tests.test_login import HOLDER_ASKED, send_alice_login
from tests.test_match import MatchCase, Player, players_of
from tests.test_players import PLAYER_LIST, items_of, list_players

CHALLENGE_RECEIVED, CHALLENGE_RESPONSE, PLAYER_IMAGE = 39, 40, 85
ONLINE, BUSY_FLAG = 0x1, 0x2


def make_challenge(ids, words=""):
    return rc.message(38, rc.integer(64), rc.int_list(ids), rc.text(words), tags={1: 0xA1})


def quiet(*players):
    """Nothing came to any of them before the answer to a request each sends now: whatever
    the server sends for the messages it has handled is written before (some players hold an
    account, whose Alive could answer a login probe)."""
    for player in players:
        player.lobby.expect_quiet(*HOLDER_ASKED)


def answer(value, own, challenger, words):
    return rc.message(40, rc.integer(value), rc.integer(64), rc.integer(own), rc.integer(challenger),
                      rc.text(""), rc.text(words))


class Challenges(MatchCase, unittest.TestCase):
    server_args = ("--account", "alice:secret")

    def setUp(self):
        super().setUp()
        self.a, self.b = Player(self, self.server.lobby_port), Player(self, self.server.lobby_port)

    def alice(self):
        """A player logged in to the stored account, whose id is the same in every session."""
        lobby = send_alice_login(self.track(rc.connected(self.server.lobby_port)))
        ack = lobby.expect(rc.LOGIN_ACK_ID)
        return types.SimpleNamespace(lobby=lobby, id=ack.int(0), name=ack.text(5))

    def challenge(self, a=None, *targets):
        a, targets = a or self.a, targets or (self.b,)
        a.lobby.send(make_challenge([b.id for b in targets]))
        for b in targets:
            received = b.lobby.expect(CHALLENGE_RECEIVED)
            self.assertEqual((received.long(0), received.int(1), received.text(2), received.text(3),
                              received.int(4), received.int(5)), (0, a.id, a.name, "", 1, 0))
            self.assertEqual(b.lobby.expect(PLAYER_IMAGE).int(0), a.id)
        quiet(a)

    def expect_answer(self, player, about, value):
        """A ChallengeResponse to player: value about the responder "about" (0 about the player
        himself is a withdrawal, which names the challenger in field 3)."""
        told = player.lobby.expect(CHALLENGE_RESPONSE)
        self.assertEqual((told.int(0), told.int(2)), (value, about.id))
        return told

    def listed_flags(self, asker):
        """Player id -> flags of the players list the asker reads."""
        asker.lobby.send(list_players(0, 0, 20))
        flags = {i: f for i, _n, f, _s in items_of(asker.lobby.expect(PLAYER_LIST))}
        for _ in flags:
            asker.lobby.expect(PLAYER_IMAGE)
        return flags

    def expect_withdrawn(self, challenger, *targets):
        for target in targets:
            self.assertEqual(self.expect_answer(target, target, 0).int(3), challenger.id)

    def test_an_accept_is_forwarded_and_pairs_the_two(self):
        a, b = self.a, self.b
        self.challenge()
        b.lobby.send(answer(1, b.id, a.id, "ok"))
        response = a.lobby.expect(CHALLENGE_RESPONSE)
        fields = response.fields()
        self.assertEqual(sorted(fields), [0, 1, 2, 3, 4, 5, 6])
        got = (response.int(0), response.int(2), response.int(3), response.text(4), response.text(6))
        self.assertEqual(got, (1, b.id, a.id, b.name, "ok"))
        starts = [p.lobby.expect(rc.GAME_START_ID) for p in (a, b)]
        self.assertEqual(players_of(starts[0]), [(a.id, a.name), (b.id, b.name)])
        self.assertEqual([s.int(2) for s in starts], [1, 0])

    def test_a_refusal_is_forwarded_and_pairs_nobody(self):
        a, b = self.a, self.b
        self.challenge()
        b.lobby.send(answer(0, b.id, a.id, ""))
        self.assertEqual(a.lobby.expect(CHALLENGE_RESPONSE).int(0), 0)
        quiet(a, b)

    def test_a_blocked_player_s_challenge_never_reaches_the_player_who_blocked_him(self):
        a, b = self.a, self.b
        b.lobby.send(rc.message(76, rc.integer(a.id), rc.integer(1)))
        quiet(b)
        a.lobby.send(make_challenge([b.id]))
        # Answered as b's own decline would be: a learns nothing more of the block.
        told = self.expect_answer(a, b, 0)
        self.assertEqual((told.int(3), told.text(4)), (a.id, b.name))
        quiet(a, b)
        b.lobby.send(make_challenge([a.id]))     # his own challenges still go out
        self.assertEqual(a.lobby.expect(CHALLENGE_RECEIVED).int(1), b.id)

    def test_an_answer_without_a_challenge_pairs_nobody_and_an_accept_hears_the_withdrawal(self):
        a, b = self.a, self.b
        self.challenge()
        b.lobby.send(answer(0, b.id, a.id, ""))
        a.lobby.expect(CHALLENGE_RESPONSE)
        b.lobby.send(answer(0, b.id, a.id, "late"))     # answered already
        b.lobby.send(answer(1, b.id, a.id, "late"))
        a.lobby.send(answer(1, a.id, b.id, "never"))    # never challenged
        # Only the accepts are answered, so that no dialog waits for a match.
        self.expect_withdrawn(a, b)
        self.expect_withdrawn(b, a)
        quiet(a, b)
        self.assertEqual(len(self.server.events("challenge_unknown")), 3)

    def test_unreachable_or_busy_targets_are_refused_without_asking_them(self):
        a, b = self.a, self.b
        b.lobby.send(rc.QUEUE_LOBBY)
        quiet(b)    # queued before he is challenged
        for target, refusal in ((99999, 3), (b.id, 2)):
            with self.subTest(target=target):
                a.lobby.send(make_challenge([target]))
                response = a.lobby.expect(CHALLENGE_RESPONSE)
                self.assertEqual((response.int(0), response.int(2), response.int(3)), (refusal, target, a.id))
        quiet(b)
        # The list tells so beforehand: a queued player is offered no challenge.
        self.assertEqual({i: f for i, f in self.listed_flags(a).items() if i in (a.id, b.id)},
                         {a.id: ONLINE, b.id: ONLINE | BUSY_FLAG})

    def test_a_player_in_a_match_is_busy_and_a_challenge_of_his_cannot_start_another(self):
        a, b, _starts, _games = self.start_match()
        self.a.lobby.send(make_challenge([a.id]))
        response = self.a.lobby.expect(CHALLENGE_RESPONSE)
        self.assertEqual((response.int(0), response.int(2), response.text(4)), (2, a.id, a.name))
        quiet(a)
        # Listed as busy while his game connection is open (also on the chat after the match).
        self.assertEqual(self.listed_flags(self.a)[a.id], ONLINE | BUSY_FLAG)
        # His own challenge is asked, but an accept cannot pair him while his game is open:
        # it hears the withdrawal rather than waiting for a match.
        self.challenge(a, self.b)
        self.b.lobby.send(answer(1, self.b.id, a.id, ""))
        self.expect_withdrawn(a, self.b)
        quiet(a)
        self.assertEqual(len(self.server.events("challenge_not_paired")), 1)

    def test_a_challenge_that_can_no_longer_be_played_is_withdrawn_at_each_target(self):
        a, b, port = self.a, self.b, self.server.lobby_port
        # Its challenger withdraws it: the one asked hears a refusal about himself, which closes
        # his panel, and hears it again for an accept that crossed it.
        self.challenge()
        a.lobby.send(answer(0, a.id, a.id, ""))
        self.expect_withdrawn(a, b)
        b.lobby.send(answer(1, b.id, a.id, ""))
        self.expect_withdrawn(a, b)
        # Its challenger closes: each one asked hears it, and one waiting for the closed
        # player's own answer hears him offline.
        c, d = Player(self, port), Player(self, port)
        self.challenge(c, a, b)
        self.challenge(d, c)
        c.lobby.close()
        self.expect_withdrawn(c, a, b)
        self.expect_answer(d, c, 3)
        # Its challenger logs out: the same; his connection closing later takes back nothing
        # of the next session of his account.
        e = self.alice()
        self.challenge(e, b)
        self.challenge(d, e)
        e.lobby.send(rc.LOGOUT)
        self.expect_withdrawn(e, b)
        self.expect_answer(d, e, 3)
        again = self.alice()
        self.challenge(again, b)
        e.lobby.close()
        self.assertEqual(len(self.server.wait_for("close", 2)), 2)
        again.lobby.send(answer(0, again.id, again.id, ""))
        self.expect_withdrawn(again, b)
        # Its challenger is paired by quick play: withdrawn; his own answer is busy.
        f, g = Player(self, port), Player(self, port)
        self.challenge(f, b)
        self.challenge(d, f)
        f.lobby.send(rc.QUEUE_LOBBY)
        g.lobby.send(rc.QUEUE_LOBBY)
        self.expect_withdrawn(f, b)
        self.expect_answer(d, f, 2)
        # Its challenger accepts another challenge: b asks a, h asks b, b accepts h's.
        h = Player(self, port)
        self.challenge(b, a)
        self.challenge(h, b)
        b.lobby.send(answer(1, b.id, h.id, ""))
        self.expect_answer(h, b, 1)
        self.expect_withdrawn(b, a)
        a.lobby.send(answer(1, a.id, b.id, ""))
        self.expect_withdrawn(b, a)
        for player in (f, g, h, b):
            player.lobby.expect(rc.GAME_START_ID)
        quiet(a, b, d, f, g, h)
        reasons = [r["reason"] for r in self.server.events("challenge_withdrawn")]
        self.assertEqual(reasons, ["withdrawn", "unknown", "closed", "closed", "logged out", "withdrawn", "paired",
                                   "paired", "unknown"])
        # A stop tells nobody of the challenges it ends, whichever side it closes first.
        self.challenge(d, a)
        self.challenge(a, d)
        self.server.proc.send_signal(signal.SIGTERM)
        self.assertEqual(self.server.proc.wait(PATIENCE), 0)
        self.assertEqual(self.server.proc.stderr.read(), b"")
        for player in (a, d):
            player.lobby.expect_closed()
        self.assertEqual(len(self.server.events("challenge_withdrawn")), len(reasons))
        self.assertEqual(len(self.server.events("challenge_refused")), 3)


class ChallengesInAStore(StoreCase, unittest.TestCase):
    def test_an_accept_meeting_its_challenger_closed_but_not_yet_handled_hears_the_withdrawal(self):
        server = self.start("--account", "alice:secret", "--account", "bob:pw", "--control-port", "0")
        control = ControlClient(server.control_port)
        self.addCleanup(control.close)
        alice = send_alice_login(self.connect(server))
        alice_id = alice.expect(rc.LOGIN_ACK_ID).int(0)
        bob = self.connect(server)
        bob.send(rc.get_random_key("bob"))
        bob.send(rc.login("bob", rc.md5_hash("pw", bob.expect(rc.RANDOM_KEY_ID).text(0))))
        bob_id = bob.expect(rc.LOGIN_ACK_ID).int(0)
        target, target_id, _name = rc.guest(server.lobby_port)
        self.addCleanup(target.close)
        other, other_id, _name = rc.guest(server.lobby_port)
        self.addCleanup(other.close)
        alice.send(make_challenge([target_id, other_id]))
        for asked in (target, other):
            asked.expect(CHALLENGE_RECEIVED)
            asked.expect(PLAYER_IMAGE)
        # Her connection is closed while she waits for a store another process has locked: the
        # server handles the close only once her request is answered.
        lock = sqlite3.connect(database_path(self.path), isolation_level=None)
        self.addCleanup(lock.close)
        lock.execute("BEGIN EXCLUSIVE")
        alice.send(rc.message(76, rc.integer(bob_id), rc.integer(1)))
        self.assertEqual(len(server.wait_for("in", name="BlockUser")), 1)
        closed = control.ok("close", user=alice_id, conn="lobby")["conn"]
        target.send(answer(1, target_id, alice_id, ""))
        told = target.expect(CHALLENGE_RESPONSE)
        self.assertEqual((told.int(0), told.int(2), told.int(3)), (0, target_id, alice_id))
        # Her account's next session asks the other again: that challenge is its own, which
        # the closed session's going takes nothing of, and its accept reaches the new session.
        again = send_alice_login(self.connect(server))
        self.assertEqual(again.expect(rc.LOGIN_ACK_ID).int(0), alice_id)
        again.send(make_challenge([other_id]))
        self.assertEqual(other.expect(CHALLENGE_RECEIVED).int(1), alice_id)
        other.expect(PLAYER_IMAGE)
        lock.execute("ROLLBACK")
        self.assertEqual(len(server.wait_for("close", conn=closed)), 1)
        target.expect_quiet()
        other.send(answer(1, other_id, alice_id, ""))
        self.assertEqual(again.expect(CHALLENGE_RESPONSE).int(0), 1)
        self.assertEqual([r["reason"] for r in server.events("challenge_withdrawn")], ["closed"])
        self.assertEqual(server.events("store_error"), [], "the accept came after the store gave up")

if __name__ == "__main__":
    unittest.main()

"""Achievements and tournament scores from recorded matches; the catalogue's promotions."""

import os
import signal
import sqlite3
import tempfile
import time
import unittest

from lobbyserver.accounts import BUSY_TIMEOUT
from tests import rawclient as rc
from tests.patience import PATIENCE
from tests.serverproc import ServerProcess
from tests.shopcase import PROMO, ShopCase, ints, number, records
from tests.test_match import MatchCase, Player
from tests.test_players import BUDDY_ACK

# A stop's last write waits for the store until BUSY_TIMEOUT after the stop began; this leaves
# a loaded machine room, well short of the wait counted again from the end of the stop's waits.
STOP_WITHIN = BUSY_TIMEOUT + 3.0


class AwardQueries:
    def play(self, a, b, games, session, winner):
        ranks = [1, 2] if winner is a else [2, 1] if winner is b else [1, 1]
        for player in (a, b):
            player.game.send(rc.game_end(session, [a.id, b.id], ranks))

    def achievements(self, player):
        answer = self.ask(player.lobby, 10, *ints(0, 5, 0, 64), answer=11)
        return [r[2].decode() for r in records(answer.fields()[3])]

    def scores(self, player, ids, kinds):
        answer = self.ask(player.lobby, 14, rc.int_list(ids), rc.integer(kinds), rc.integer(0), answer=16)
        names = rc.Message(b"\xa0" + rc.raw(answer.fields()[0])).fields()
        listed = []
        for record in records(answer.fields()[1]):
            values, pos, scores = record[1], 0, []
            while pos < len(values):       # 02, a length, the integer
                scores.append(number(values[pos + 2:pos + 2 + values[pos + 1]]))
                pos += 2 + values[pos + 1]
            listed.append((number(record[0]), scores))
        return len(names), listed, answer.int(2)


class Awards(AwardQueries, ShopCase, MatchCase, unittest.TestCase):
    def test_achievements_and_scores_follow_the_matches(self):
        a, b, starts, games = self.start_match()
        self.assertEqual(self.achievements(a), [])
        self.assertEqual(self.scores(a, [a.id, b.id], 1)[1], [(a.id, [0, 0]), (b.id, [0, 0])])
        session = starts[0].long(0)
        self.play(a, b, games, session, a)
        self.server.wait_for("match_result")
        self.assertEqual(self.achievements(a), ["First win", "First match"])
        self.assertEqual(self.achievements(b), ["First match"])
        count, listed, kinds = self.scores(b, [b.id, a.id], 32)
        self.assertEqual((listed, kinds), ([(b.id, [0, 0]), (a.id, [3, 3])], 32))

    def test_disagreeing_reports_count_for_nobody(self):
        a, b, starts, _ = self.start_match()
        session = starts[0].long(0)
        a.game.send(rc.game_end(session, [a.id, b.id], [1, 2]))
        b.game.send(rc.game_end(session, [a.id, b.id], [2, 1]))
        result = self.server.wait_for("match_result")[0]
        self.assertEqual((result["reports"], result["agreed"], result["winner"], result["tie"]),
                         (2, False, None, False))
        for player in (a, b):
            self.assertEqual(self.achievements(player), [])
        self.assertEqual(self.scores(a, [a.id, b.id], 1)[1], [(a.id, [0, 0]), (b.id, [0, 0])])

    def test_the_list_is_cut_to_the_asked_count(self):
        a, b, starts, games = self.start_match()
        self.play(a, b, games, starts[0].long(0), None)
        self.server.wait_for("match_result")
        answer = self.ask(a.lobby, 10, *ints(0, 1, 0, 64), answer=11)
        self.assertEqual([r[2].decode() for r in records(answer.fields()[3])], ["First match"])
        self.assertEqual(self.scores(a, [a.id], 2)[1], [(a.id, [1, 1])])

    def test_promotions_from_the_catalogue(self):
        client, _uid, _name = self.guest()
        client.send(rc.message(51, rc.text("moregames"), rc.text("")))
        answer = client.expect(52)
        self.assertEqual((answer.text(0), answer.fields()[1], answer.text(2), answer.text(3)),
                         ("moregames", PROMO, "https://localhost/games.php", "More games"))
        client.send(rc.message(51, rc.text("tournaments"), rc.text("")))    # not in this catalogue
        client.expect_quiet()


class AccountPlayer(Player):
    """A player logged in to a stored account with the password "pw"."""

    def __init__(self, case, port, name):
        self.case, self.game = case, None
        self.lobby = case.track(rc.connected(port))
        self.lobby.send(rc.get_random_key(name))
        self.lobby.send(rc.login(name, rc.md5_hash("pw", self.lobby.expect(rc.RANDOM_KEY_ID).text(0))))
        ack = self.lobby.expect(rc.LOGIN_ACK_ID)
        self.id, self.name = ack.int(0), ack.text(5)


class RecordsAfterRestart(AwardQueries, ShopCase, MatchCase, unittest.TestCase):
    def setUp(self):
        temp = tempfile.TemporaryDirectory(prefix="lobby-records-")
        self.addCleanup(temp.cleanup)
        self.extra_args = ("--accounts", os.path.join(temp.name, "accounts.sqlite3"),
                           "--account", "alice:pw", "--account", "bob_1:pw", "--account", "carol:pw")
        super().setUp()

    def players(self):
        return [AccountPlayer(self, self.server.lobby_port, name) for name in ("alice", "bob_1")]

    def win(self, a, b):
        """One match that a wins; both leave the game afterwards."""
        a, b, starts, games = self.start_match(a, b)
        matches = len(self.server.events("match_result"))
        self.play(a, b, games, starts[0].long(0), a)
        self.server.wait_for("match_result", matches + 1)
        for player in (a, b):
            player.game.close()
        self.server.wait_for("session_end", matches + 1)

    def standing(self, a, b):
        return (self.achievements(a), self.achievements(b), self.scores(b, [a.id, b.id], 1)[1])

    def test_points_and_achievements_are_the_same_after_a_restart(self):
        a, b = self.players()
        for _ in range(3):
            self.win(a, b)
        before = self.standing(a, b)
        self.assertEqual(before, (["Three wins", "First win", "First match"], ["First match"],
                                  [(a.id, [9, 9]), (b.id, [0, 0])]))
        self.assertEqual(self.server.stop(), 0)
        self.server = ServerProcess(*self.server_args)
        a, b = self.players()
        after = self.standing(a, b)
        self.assertEqual(after[:2], before[:2])
        self.assertEqual(after[2], [(a.id, [9, 9]), (b.id, [0, 0])])
        self.win(a, b)
        self.assertEqual(self.standing(a, b)[2], [(a.id, [12, 12]), (b.id, [0, 0])])

    def follow(self, player, target):
        """A follow sent, once the server has read it."""
        asked = len(self.server.wait_for("in", 0, name="BuddyRequest"))
        player.lobby.send(rc.message(21, rc.integer(target.id), rc.integer(player.id), rc.integer(1),
                                     rc.integer(0), rc.text("")))
        self.server.wait_for("in", asked + 1, name="BuddyRequest")

    def test_a_stop_writes_the_results_still_waiting_for_a_locked_store(self):
        a, b = self.players()
        self.win(a, b)
        store = self.extra_args[1]
        for stop, lock_kept, lost in (("two SIGTERMs", True, 0), ("end of input", False, 2)):
            with self.subTest(stop):
                carol = AccountPlayer(self, self.server.lobby_port, "carol")
                other = sqlite3.connect(store, isolation_level=None)
                other.execute("BEGIN IMMEDIATE")
                self.win(a, b)
                shown = self.standing(a, b)
                # Asked right before the stop, carol's follow waits for the lock: the stop lets it
                # be answered first, and its last write still keeps to the time from its start.
                self.follow(carol, b if lost else a)
                began = time.monotonic()
                if stop == "end of input":
                    self.server.proc.stdin.close()
                else:
                    for _ in range(2):
                        self.server.proc.send_signal(signal.SIGTERM)
                        time.sleep(0.05)
                if lock_kept:    # until the stop has begun, so that it finds the follow waiting
                    self.assertTrue(self.server.wait_stopping())
                    other.execute("ROLLBACK")
                self.assertEqual(self.server.proc.wait(PATIENCE), 0)
                self.assertLess(time.monotonic() - began, STOP_WITHIN)
                other.close()
                self.assertEqual(carol.lobby.expect(BUDDY_ACK).int(3), 1 if lost else 0)
                # Nothing is printed: a try the stop left unread goes to the log, whenever it ends.
                self.assertEqual(self.server.proc.stderr.read(), b"")
                self.assertEqual([e["match_results"] for e in self.server.events("store_unsaved")],
                                 [lost] if lost else [])
                self.server.stop()
                self.server = ServerProcess(*self.server_args)
                a, b = self.players()
                # Two matches, a row for each player: the last one, lost to the lock, is not
                # written at the next start, nor any other twice; the follow kept or refused.
                saved = sqlite3.connect(store)
                rows = saved.execute("SELECT COUNT(*) FROM matches").fetchone()[0]
                follows = saved.execute("SELECT COUNT(*) FROM relations").fetchone()[0]
                saved.close()
                self.assertEqual((rows, follows), (2 * 2, 1))
                if lost:
                    self.assertEqual(self.standing(a, b)[2], [(a.id, [6, 6]), (b.id, [0, 0])])
                else:
                    self.assertEqual(self.standing(a, b), shown)


if __name__ == "__main__":
    unittest.main()

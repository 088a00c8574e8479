"""Stored accounts in the player lists: profile fields, offline accounts, follows and blocks
kept in the store, recorded matches, rank and score in challenges, and the control
channel's "player" command."""

import json
import os
import sqlite3
import tempfile
import time
import unittest

from lobbyserver.accounts import BUSY_TIMEOUT, database_path, password_hash
from lobbyserver.pages import picture
from lobbyserver.shop import NOT_STORED
from tests import rawclient as rc
from tests.controlclient import ControlClient
from tests.patience import PATIENCE
from tests.serverproc import ServerProcess, stored_accounts
from tests.test_challenges import CHALLENGE_RECEIVED, CHALLENGE_RESPONSE, PLAYER_IMAGE, make_challenge
from tests.shopcase import COINS, write_catalogue
from tests.test_match import MatchCase, Player
from tests.test_players import BUDDY_ACK, LATEST_SESSIONS, PLAYER_LIST, items_of, list_players, number, records

OWN_PICTURE = picture(7, size=4)
# How much later than its time a loaded machine may answer a change the store refuses; a change
# that counted its time from when it began, not from its request, would be 4 s late or more.
LATE = 3.0


def account(**profile):
    return dict(key="k", hash=password_hash("pw", "k"), **profile)


def match(opponent, result, stamp):
    return {"opponent": opponent, "result": result, "time": stamp}


STORE = {
    "alice": account(location="Harbour", comment="hello", picture="alice.png", follows=["bob"],
                     matches=[match("carol", -1, t) for t in (10, 20, 30)] +
                     [match("bob", 1, 100), match("carol", 0, 200), match("bob", 1, 300)]),
    "bob": account(matches=[match("alice", -1, 100)]),
    "carol": account(blocks=["alice"]),
}


class AccountPlayer(Player):
    """A player logged in to a stored account (password "pw")."""

    def __init__(self, case, port, name):   # pylint: disable=super-init-not-called
        self.lobby = case.track(rc.connected(port))
        self.lobby.send(rc.get_random_key(name))
        key = self.lobby.expect(rc.RANDOM_KEY_ID).text(0)
        self.lobby.send(rc.login(name, password_hash("pw", key)))
        ack = self.lobby.expect(rc.LOGIN_ACK_ID)
        self.id, self.name = ack.int(0), ack.text(5)
        self.case, self.game = case, None


class StoredAccounts(MatchCase, unittest.TestCase):
    def setUp(self):
        temp = tempfile.TemporaryDirectory(prefix="lobby-profiles-")
        self.addCleanup(temp.cleanup)
        self.path = os.path.join(temp.name, "accounts.json")
        with open(self.path, "w", encoding="utf-8") as f:
            json.dump({"version": 1, "accounts": STORE}, f)
        with open(os.path.join(temp.name, "alice.png"), "wb") as f:
            f.write(OWN_PICTURE)
        self.server_args = ("--accounts", self.path, "--control-port", "0", "--catalogue", write_catalogue(temp.name))
        super().setUp()
        self.port = self.server.lobby_port

    def stored(self):
        return stored_accounts(self.path)

    def stored_matches(self, name, count):
        """(opponent, result) of the player's stored matches, once there are count of them:
        a result goes into the store after the match_result record."""
        deadline = time.monotonic() + PATIENCE
        while len(self.stored()[name]["matches"]) < count and time.monotonic() < deadline:
            time.sleep(0.05)
        return [(m["opponent"], m["result"]) for m in self.stored()[name]["matches"]]

    def listed(self, player, kind, text=""):
        """{name: (id, flags, statistics)} of one list answer, its pictures {id: bytes} read."""
        player.lobby.send(list_players(kind, 0, 20, text))
        answer = player.lobby.expect(PLAYER_LIST)
        rows = {n: (i, f, s) for i, n, f, s in items_of(answer)}
        pictures = {}
        for _ in rows:
            image = player.lobby.expect(PLAYER_IMAGE)
            pictures[image.int(0)] = image.fields()[2]
        return rows, pictures, answer

    def follow(self, player, target, action=0):
        player.lobby.send(rc.message(21, rc.integer(target), rc.integer(player.id), rc.integer(1),
                                     rc.integer(action), rc.text("")))
        player.lobby.expect(BUDDY_ACK)

    def test_offline_accounts_are_listed_after_the_online_players_with_their_profile(self):
        guest = Player(self, self.port)
        guest.lobby.send(list_players(0, -1, 0))
        groups = [(g[0].decode(), number(g[1])) for g in records(guest.lobby.expect(PLAYER_LIST).fields()[4])]
        self.assertEqual(groups, [("Online", 1), ("Offline", 3)])

        rows, pictures, answer = self.listed(guest, 0)
        self.assertEqual(list(rows), [guest.name, "alice", "bob", "carol"])
        item = records(answer.fields()[3])[1]
        self.assertEqual((item[4].decode(), item[6].decode()), ("Harbour", "hello"))
        # wins, losses, ties, followers, following; offline rows carry no online flag
        self.assertEqual({n: (f, s[3:]) for n, (_i, f, s) in rows.items() if n != guest.name},
                         {"alice": (0, [2, 3, 1, 0, 1]), "bob": (0, [0, 1, 0, 1, 0]), "carol": (0, [0, 0, 0, 0, 0])})
        self.assertEqual(pictures[rows["alice"][0]], OWN_PICTURE)
        self.assertEqual(pictures[rows["bob"][0]], picture(rows["bob"][0]))
        # A guest's followers are other guests, kept in memory: counted the same.
        other = Player(self, self.port)
        self.follow(other, guest.id)
        self.assertEqual(self.listed(other, 0)[0][guest.name][2][6], 1)

        # The id an offline account was listed with is the one it logs in with.
        alice = AccountPlayer(self, self.port, "alice")
        self.assertEqual(alice.id, rows["alice"][0])
        rows, _pictures, _answer = self.listed(guest, 0, "ALI")
        self.assertEqual({n: f for n, (_i, f, _s) in rows.items()}, {"alice": 0x1})

    def test_follows_and_blocks_between_accounts_are_kept_in_the_store(self):
        alice = AccountPlayer(self, self.port, "alice")
        rows, _pictures, _answer = self.listed(alice, 64)
        self.assertEqual({n: f for n, (_i, f, _s) in rows.items()}, {"bob": 0x10}, "followed while offline")
        alice.lobby.send(list_players(64, -1, 0))
        header = alice.lobby.expect(PLAYER_LIST)
        groups = [(g[0].decode(), number(g[1])) for g in records(header.fields()[4])]
        self.assertEqual(groups, [("Online", 0), ("Offline", 1)], "shown where he is")
        carol = self.listed(alice, 0, "carol")[0]["carol"][0]
        self.follow(alice, carol)
        alice.lobby.send(rc.message(76, rc.integer(carol), rc.integer(1)))
        guest = Player(self, self.port)
        self.follow(alice, guest.id)   # a guest on one side: for this run only
        rows = self.listed(alice, 0)[0]
        self.assertEqual({n: f for n, (_i, f, _s) in rows.items()},
                         {"alice": 0x1, guest.name: 0x11, "bob": 0x10, "carol": 0x110})
        self.assertEqual(rows["carol"][2][6:], [1, 0], "a follower at once")
        self.follow(alice, rows["bob"][0], action=1)
        self.server.wait_for("in", name="BuddyRequest", count=3)
        stored = self.stored()
        self.assertEqual((stored["alice"]["follows"], stored["alice"]["blocks"]), (["carol"], ["carol"]))
        self.assertEqual(stored["carol"]["blocks"], ["alice"], "other accounts are untouched")
        self.assertEqual(self.listed(alice, 0, "carol")[0]["carol"][2][6:], [1, 0])
        self.assertEqual(self.listed(alice, 0, "bob")[0]["bob"][2][6:], [0, 0], "a follower fewer at once")

    def test_challenges_and_player_records_carry_one_rank_and_score_and_offline_accounts_answer_three(self):
        guest = Player(self, self.port)
        bob = AccountPlayer(self, self.port, "bob")
        alice = AccountPlayer(self, self.port, "alice")
        ranks = ((alice, (1, 7)), (bob, (2, 0)), (guest, (2, 0)))
        for challenger, expected in ranks:
            with self.subTest(challenger=challenger.name):
                challenger.lobby.send(make_challenge([guest.id if challenger is not guest else bob.id]))
                target = guest if challenger is not guest else bob
                received = target.lobby.expect(CHALLENGE_RECEIVED)
                self.assertEqual((received.int(4), received.int(5)), expected)
                target.lobby.expect(PLAYER_IMAGE)
        # A player's record (what the chat's card shows) starts with the same score and rank.
        rows = self.listed(bob, 0)[0]
        for player, (rank, score) in ranks + ((None, (2, 0)),):
            self.assertEqual(rows[player.name if player else "carol"][2][:3], [score, rank, 0])
        carol = self.listed(guest, 0, "carol")[0]["carol"][0]
        guest.lobby.send(make_challenge([carol]))
        response = guest.lobby.expect(CHALLENGE_RESPONSE)
        self.assertEqual((response.int(0), response.int(2), response.text(4)), (3, carol, "carol"))

    def test_a_finished_match_is_recorded_and_the_latest_matches_come_from_the_store(self):
        alice, bob = AccountPlayer(self, self.port, "alice"), AccountPlayer(self, self.port, "bob")

        def standings():
            """{stored account: [score, rank]} as the list shows them."""
            return {name: row[2][:2] for name, row in self.listed(bob, 0)[0].items() if name in STORE}
        before = standings()
        session = self.start_match(alice, bob)[2][0].long(0)
        for player in (alice, bob):
            player.game.send(rc.game_end(session, [alice.id, bob.id], [2, 1]))
        self.server.wait_for("match_result")
        self.assertEqual(self.stored_matches("bob", 2), [("alice", -1), ("alice", 1)])
        # The win counts at once, in the winner's score and in every rank it passes.
        after = standings()
        self.assertEqual({n: score for n, (score, _rank) in after.items()},
                         {n: score + 3 * (n == "bob") for n, (score, _rank) in before.items()})
        for name, (score, rank) in after.items():
            self.assertEqual(rank, 1 + sum(other > score for other, _rank in after.values()), name)
        alice.lobby.send(rc.message(74, rc.integer(64), rc.integer(6)))
        past = records(alice.lobby.expect(LATEST_SESSIONS).fields()[0])
        self.assertEqual([(number(r[1]), number(r[2]), r[4].decode()) for r in past],
                         [(-1, 0, "bob"), (1, 3, "bob"), (0, 1, "carol"), (1, 3, "bob"), (-1, 0, "carol"),
                          (-1, 0, "carol")])

    def test_a_store_locked_by_another_process_holds_up_only_its_writers_and_a_result_waits_for_it(self):
        alice, bob = AccountPlayer(self, self.port, "alice"), AccountPlayer(self, self.port, "bob")
        carol, guest = AccountPlayer(self, self.port, "carol"), Player(self, self.port)
        session = self.start_match(alice, bob)[2][0].long(0)
        other = sqlite3.connect(database_path(self.path), isolation_level=None)
        self.addCleanup(other.close)
        other.execute("BEGIN EXCLUSIVE")
        # Each change is answered within the store's time from its request, whatever else waits
        # for the store: the match results tried again, a change asked for before it on the same
        # connection, one that began before it or holds the wallets meanwhile.
        asked, took = {}, {}

        def ask(who, what, request):
            asked[what] = time.monotonic()
            who.lobby.send(request)

        def answer(who, what, msg_id):
            message = who.lobby.expect(msg_id)
            took[what] = time.monotonic() - asked[what]
            return message

        def follow(who, target):
            return rc.message(21, rc.integer(target.id), rc.integer(who.id), rc.integer(1), rc.integer(0), rc.text(""))

        ask(carol, "carol follows", follow(carol, alice))
        ask(carol, "carol buys", rc.message(104, rc.integer(11), rc.integer(0)))
        self.server.wait_for("in", name="BuddyRequest")
        # Asked well after carol's: bob's follow begins once hers is refused, before her purchase,
        # and alice's gift, which holds the wallets meanwhile, begins after his. Each begins seconds
        # after it was asked: one that counted its time from there would be answered seconds late.
        time.sleep(max(0.0, asked["carol follows"] + BUSY_TIMEOUT / 5 - time.monotonic()))
        ask(bob, "bob follows", follow(bob, carol))
        ask(bob, "bob buys", rc.message(104, rc.integer(21), rc.integer(0)))
        ask(alice, "alice gives", rc.message(115, rc.integer(guest.id), rc.integer(0), rc.int_list([21])))
        self.server.wait_for("in", name="ConfirmBuyPlayerItems")
        # The others are served meanwhile as without the lock, long before carol's refusal, which
        # a server stalled by the lock would wait for.
        for _ in range(3):
            guest.lobby.send(rc.ALIVE_MINUS_ONE)
            guest.lobby.expect_bytes(rc.ALIVE_MINUS_ONE)
            alice.game.send(rc.chat(2, "still here", alice.id))
            bob.game.expect(rc.CHAT_ID)
        self.assertLess(time.monotonic() - asked["carol follows"], BUSY_TIMEOUT - 1)
        # A match that ends while the store is locked counts at once and is stored once it is free.
        for player in (alice, bob):
            player.game.send(rc.game_end(session, [alice.id, bob.id], [1, 2]))
        self.server.wait_for("match_result")
        # The gift's receiver buys while the gift holds her wallet: her purchase waits for its end.
        time.sleep(max(0.0, asked["alice gives"] + 1.5 - time.monotonic()))
        ask(guest, "guest buys", rc.message(104, rc.integer(11), rc.integer(0)))
        self.assertEqual(answer(carol, "carol follows", BUDDY_ACK).int(3), 1, "not followed")
        refused = {"carol buys": answer(carol, "carol buys", 105)}
        self.assertEqual(answer(bob, "bob follows", BUDDY_ACK).int(3), 1, "not followed")
        refused["bob buys"] = answer(bob, "bob buys", 105)
        refused["alice gives"] = answer(alice, "alice gives", 116)
        self.assertEqual(answer(guest, "guest buys", 105).text(2), "")    # a guest's needs no store
        self.assertEqual({what: (r.int(1), r.text(2)) for what, r in refused.items()},
                         dict.fromkeys(refused, (0, NOT_STORED)))
        for what in ("carol follows", "carol buys", "bob follows", "bob buys", "alice gives"):
            self.assertGreaterEqual(took[what], BUSY_TIMEOUT, what)
            self.assertLess(took[what], BUSY_TIMEOUT + LATE, what)
        # Each result has met the lock, told once however often it was tried, before it goes:
        # the tries wait behind the changes above, and one that came after it would find no lock.
        self.server.wait_for("store_error", 2, retrying=True)
        other.execute("ROLLBACK")
        self.assertEqual(self.stored_matches("bob", 2), [("alice", -1), ("alice", -1)])
        self.assertEqual([self.stored()[name].get("follows") for name in ("bob", "carol")], [None, None])
        # What the store refused changed nothing; the guest's purchase stands.
        for player, coins, owned in ((alice, COINS, []), (bob, COINS, []), (carol, COINS, []),
                                     (guest, COINS - 100, [11])):
            player.lobby.send(rc.message(90))
            self.assertEqual(player.lobby.expect(91).int(0), coins)
            player.lobby.send(rc.message(96, rc.integer(1), rc.integer(10), rc.integer(0)))
            self.assertEqual([number(r[0]) for r in records(player.lobby.expect(97).fields()[2])], owned)
        told = [(e["user"], e.get("retrying")) for e in self.server.events("store_error") if "user" in e]
        self.assertEqual(sorted(told), sorted([(alice.id, True), (bob.id, True)]))

    def test_the_control_channel_tells_whether_a_user_is_queued(self):
        control = ControlClient(self.server.control_port)
        self.addCleanup(control.close)
        guest = Player(self, self.port)
        self.assertEqual(control.ok("player", user=guest.id)["queued"], False)
        guest.lobby.send(rc.QUEUE_LOBBY)
        self.server.wait_for("in", name="QueueRegisterIn")
        answer = control.ok("player", user=guest.id)
        self.assertEqual((answer["online"], answer["queued"], answer["in_match"]), (True, True, False))
        self.assertEqual(control.ok("player", user=424242)["online"], False)
        self.assertFalse(control.command("player", user="x")["ok"])


class BadProfiles(unittest.TestCase):
    def test_a_store_with_a_bad_profile_stops_the_start_and_is_left_alone(self):
        cases = ({"location": 5}, {"follows": "bob"}, {"matches": [{"opponent": "b", "result": 2}]})
        for profile in cases:
            with self.subTest(profile=profile), tempfile.TemporaryDirectory(prefix="lobby-bad-") as folder:
                path = os.path.join(folder, "accounts.json")
                text = json.dumps({"version": 1, "accounts": {"alice": account(**profile)}})
                with open(path, "w", encoding="utf-8") as f:
                    f.write(text)
                with self.assertRaises(RuntimeError) as caught:
                    ServerProcess("--accounts", path, workdir=folder)
                self.assertIn("status 2", str(caught.exception))
                with open(path, encoding="utf-8") as f:
                    self.assertEqual(f.read(), text)


if __name__ == "__main__":
    unittest.main()

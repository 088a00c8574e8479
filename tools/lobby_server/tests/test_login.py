"""Lobby connection: identification, guest and account login, registration, keep-alive,
the item-list rounds, redirect mode."""

import select
import sqlite3
import time
import unittest

from peer import encode_client
from lobbyserver.accounts import database_path
from lobbyserver.catalogue import CLIENT_SCHEMAS, INT, INT_LIST, LONG, ids, name_of
from lobbyserver.lobby import LOGIN_PROBE_WAIT, LobbyService
from tests import rawclient as rc
from tests.patience import PATIENCE
from tests.serverproc import ServerTestCase, StoreCase
from tests.test_players import PLAYER_IMAGE, PLAYER_LIST, items_of, list_players

# What the client sends before its login: identification, keep-alive, the guest key, the login
# and registration steps, the language chosen on the login page, the promotions asked for on a
# screen change, and a queue leave or Logout after a refused login.
BEFORE_LOGIN = ids("Connection", "Alive", "GetKeyValue", "GetRandomKey", "Login", "ExternalLogin",
                   "ConfirmUserName", "ConfirmEmail", "Logout", "QueueUnregisterFrom",
                   "ChangeLanguageMessage", "GetImageAndLink")
FOLLOWERS = 6   # index in a player's statistics
ALREADY_PLAYING = "This account is already playing in another window or on another device."
# The LoginACK of that refusal: a result of its own, which the game tells from a wrong password's.
IN_USE = (-8, ALREADY_PLAYING)
# What asks a session that holds an account whether anything came before: not an Alive, which
# would answer a login probe that may be out.
HOLDER_ASKED = (rc.GET_KEY_VALUE_GUEST, rc.KEY_VALUE_GUEST)
# Seconds from a holder's close, as the server logs it, to the login that waited on its probe:
# a few turns of the server's loop on a loaded machine, a third of the probe's own time.
GIVEN_WAY_AT_ONCE = LOGIN_PROBE_WAIT / 3


class GuestLogin(ServerTestCase, unittest.TestCase):
    def test_guest_reaches_login_ack_and_gets_unique_ids(self):
        client = self.track(rc.RawClient(self.server.lobby_port))
        client.send(rc.CONNECTION)
        client.expect_bytes(rc.CONNECT_ACK)
        client.send(rc.GET_KEY_VALUE_GUEST)
        client.expect_bytes(rc.KEY_VALUE_GUEST)
        client.send(rc.GUEST_LOGIN)
        client.expect_bytes(bytes.fromhex(
            "A6 1D 80 02 03 E9 81 05 74 31 30 30 31 82 00 83 00 84 01 00"
            " 85 09 67 75 65 73 74 31 30 30 31"))
        second, second_id, second_name = rc.guest(self.server.lobby_port)
        self.track(second)
        self.assertEqual((second_id, second_name), (1002, "guest1002"))

    def test_key_value_may_come_before_or_after_login(self):
        client, _, _ = rc.guest(self.server.lobby_port)
        self.track(client)
        client.send(rc.GET_KEY_VALUE_GUEST)
        client.expect_bytes(rc.KEY_VALUE_GUEST)
        client.send(rc.message(25, rc.text("otherKey")))
        client.expect_quiet()

    def test_alive_echo_of_negative_values_only(self):
        client, _, _ = rc.guest(self.server.lobby_port)
        self.track(client)
        client.send(rc.ALIVE_MINUS_ONE)
        client.expect_bytes(rc.ALIVE_MINUS_ONE)
        client.send(rc.ALIVE_ZERO)
        client.expect_quiet()

    def test_item_rounds_after_login_echo_the_flags(self):
        client, _, _ = rc.guest(self.server.lobby_port)
        self.track(client)
        for request, answer in ((rc.GROUPS_201, rc.GROUPS_201_ANSWER), (rc.ITEMS_201, rc.ITEMS_201_ANSWER),
                                (rc.ITEM_DATAS, rc.ITEM_DATAS_ANSWER)):
            client.send(request)
            client.expect_bytes(answer)
        client.send(rc.message(96, rc.integer(0x801), rc.integer(100), rc.integer(7)))
        self.assertEqual(client.expect(97).int(1), 7)

    def test_requests_the_server_does_not_answer_are_accepted_quietly(self):
        client, _, _ = rc.guest(self.server.lobby_port)
        self.track(client)
        for quiet in ("BC 00", "BF 70 00", "BF 33 0D 80 09 6D 6F 72 65 67 61 6D 65 73 81 00"):
            client.send(bytes.fromhex(quiet))
        client.send(rc.LOGOUT)
        client.expect_quiet()


class WrongState(ServerTestCase, unittest.TestCase):
    def test_messages_out_of_order_are_dropped_and_reported(self):
        client = self.track(rc.RawClient(self.server.lobby_port))
        client.send(rc.GUEST_LOGIN)                   # before Connection
        client.send(rc.CONNECTION)
        client.expect_bytes(rc.CONNECT_ACK)
        client.send(rc.QUEUE_LOBBY)                   # before login
        client.send(rc.GROUPS_201)                    # before login
        client.send(rc.CONNECTION)                    # repeated
        client.send(rc.game_message(bytes(12)))       # game message on the lobby
        client.send(bytes.fromhex("A6 03 80 01 00"))  # LoginACK from a client
        client.send(bytes.fromhex("BF 38 06 80 01 00 81 01 00"))  # ChallengeReply, never sent
        client.expect_quiet()
        self.expected_violations = 7
        self.server.wait_for("violation", 7)
        client.send(rc.GUEST_LOGIN)
        client.expect(rc.LOGIN_ACK_ID)


class NotLoggedIn(ServerTestCase, unittest.TestCase):
    def request(self, msg_id, target):
        """The message in the client's form, aimed at the target player where it names one."""
        blank = {INT: target, LONG: 1, INT_LIST: [target]}
        values = {name: blank.get(kind, "") for name, kind, _tag, _optional in CLIENT_SCHEMAS[msg_id]}
        values.update({"BuddyRequest": dict(c=1, d=0), "BlockUser": dict(block=1)}.get(name_of(msg_id), {}))
        return encode_client(msg_id, values)

    def followers(self, client):
        client.send(list_players(32, 0, 1))
        own = items_of(client.expect(PLAYER_LIST))[0]
        client.expect(PLAYER_IMAGE)
        return own[3][FOLLOWERS]

    def test_every_other_message_before_login_changes_nothing_and_the_login_still_works(self):
        target, target_id, _name = rc.guest(self.server.lobby_port)
        self.track(target)
        refused = sorted(LobbyService.accepted_ids - BEFORE_LOGIN)
        for msg_id in refused:
            client = self.track(rc.connected(self.server.lobby_port))
            client.send(self.request(msg_id, target_id))
            client.send(rc.ALIVE_MINUS_ONE)
            client.expect_bytes(rc.ALIVE_MINUS_ONE)     # nothing answered, nothing closed
            client.send(rc.GUEST_LOGIN)
            self.assertGreater(client.expect(rc.LOGIN_ACK_ID).int(0), 0, name_of(msg_id))
            client.close()
        self.assertIn(name_of(21), [name_of(i) for i in refused])   # BuddyRequest
        reasons = [v["reason"] for v in self.server.wait_for("violation", len(refused))]
        self.assertEqual(reasons, ["message %d before login" % i for i in refused])
        self.assertEqual(self.followers(target), 0)
        # After a Logout the list holds again.
        client, _id, _name = rc.guest(self.server.lobby_port)
        self.track(client)
        client.send(rc.LOGOUT)
        client.send(self.request(21, target_id))
        self.assertEqual(self.server.wait_for("violation", len(refused) + 1)[-1]["reason"], "message 21 before login")
        self.assertEqual(self.followers(target), 0)
        self.expected_violations = len(refused) + 1


def first_logged_in(case, clients):
    """(the client whose login is acknowledged first, the others): none may be refused first."""
    ready, _, _ = select.select([c.sock for c in clients], [], [], PATIENCE)
    case.assertTrue(ready, "no login answered")
    winner = next(c for c in clients if c.sock is ready[0])
    case.assertGreaterEqual(winner.expect(rc.LOGIN_ACK_ID).int(0), 1)
    return winner, next(c for c in clients if c is not winner)


def conn_name(server, client):
    """The server's name for the client's connection, from its log."""
    peer = "%s:%d" % client.sock.getsockname()[:2]
    return next(r["conn"] for r in server.events("open") if r["peer"] == peer)


def send_alice_login(client):
    client.send(rc.get_random_key("alice"))
    client.send(rc.login("alice", rc.md5_hash("secret", client.expect(rc.RANDOM_KEY_ID).text(0))))
    return client


class AccountLogin(ServerTestCase, unittest.TestCase):
    server_args = ("--account", "alice:secret")

    def _key(self, client, user):
        client.send(rc.get_random_key(user))
        msg = client.expect(rc.RANDOM_KEY_ID)
        self.assertEqual(msg.fields()[1], b"")
        key = msg.text(0)
        self.assertTrue(key)
        return key

    def test_right_password_logs_in_wrong_one_is_refused_and_may_retry(self):
        client = self.track(rc.connected(self.server.lobby_port))
        key = self._key(client, "alice")
        # Not 32 hex digits (non-ASCII, a trailing line break) is a wrong password too.
        for hashed in (rc.md5_hash("wrong", key), "\u00e9" * 32, rc.md5_hash("secret", key) + "\n"):
            client.send(rc.login("alice", hashed))
            refused = client.expect(rc.LOGIN_ACK_ID)
            self.assertEqual(refused.int(0), -1)
            self.assertTrue(refused.text(1))
        key_again = self._key(client, "alice")
        self.assertEqual(key_again, key)
        client.send(rc.login("alice", rc.md5_hash("secret", key)))
        ack = client.expect(rc.LOGIN_ACK_ID)
        self.assertGreaterEqual(ack.int(0), 1)
        self.assertEqual(ack.text(5), "alice")

    def test_stored_hash_logs_in_without_asking_for_a_key(self):
        first = self.track(rc.connected(self.server.lobby_port))
        remembered = rc.md5_hash("secret", self._key(first, "alice"))
        first.close()
        client = self.track(rc.connected(self.server.lobby_port))
        client.send(rc.login("alice", remembered))
        self.assertGreaterEqual(client.expect(rc.LOGIN_ACK_ID).int(0), 1)

    def test_unknown_user_gets_a_key_then_a_refusal(self):
        client = self.track(rc.connected(self.server.lobby_port))
        key = self._key(client, "nobody")
        client.send(rc.login("nobody", rc.md5_hash("x", key)))
        self.assertEqual(client.expect(rc.LOGIN_ACK_ID).int(0), -1)

    def _alice(self, client=None):
        return send_alice_login(client or self.track(rc.connected(self.server.lobby_port)))

    def test_a_live_session_keeps_its_account_and_a_silent_or_closed_one_gives_way(self):
        hashed = rc.md5_hash("secret", self._key(self.track(rc.connected(self.server.lobby_port)), "alice"))
        first = self._alice()
        self.assertGreaterEqual(first.expect(rc.LOGIN_ACK_ID).int(0), 1)
        # Two logins while the session is asked: one probe, echoed as the game does; both refused.
        second, third = self._alice(), self._alice()
        probe = first.expect(rc.ALIVE_ID)
        probed = time.monotonic()
        self.assertGreaterEqual(probe.int(0), 0)
        self.assertEqual(len(self.server.wait_for("in", 3, name="Login")), 3)
        first.send(probe.data)
        for other in (second, third):
            refused = other.expect(rc.LOGIN_ACK_ID)
            self.assertEqual((refused.int(0), refused.text(1)), IN_USE)
        first.expect_quiet(*HOLDER_ASKED)
        # The first goes on undisturbed: nothing the probe started closes it when its time is
        # up (counted on the clock the server shares, from before the probe came).
        time.sleep(max(0.0, probed + LOGIN_PROBE_WAIT - time.monotonic()))
        first.expect_quiet(*HOLDER_ASKED)

        # Silent but for the echo of an idle probe, which is no answer (asleep, frozen): it is
        # closed, and of two logins that waited on its probe one gets in, the other asks him.
        self._alice(second)
        self._alice(third)
        probe = first.expect(rc.ALIVE_ID)
        first.send(rc.ALIVE_ZERO)
        winner, loser = first_logged_in(self, (second, third))
        first.expect_closed()
        winner.send(winner.expect(rc.ALIVE_ID).data)
        self.assertEqual(loser.expect(rc.LOGIN_ACK_ID).text(1), ALREADY_PLAYING)
        # Closed while its probe is out: it gives way at once, not when the probe's time is up
        # (both times stamped by the server).
        holder = conn_name(self.server, winner)
        self._alice(loser)
        winner.expect(rc.ALIVE_ID)
        winner.close()
        self.assertGreaterEqual(loser.expect(rc.LOGIN_ACK_ID).int(0), 1)
        closed = self.server.wait_for("close", conn=holder)
        admitted = [r for r in self.server.events("login") if r["conn"] == conn_name(self.server, loser)]
        self.assertEqual((len(closed), len(admitted)), (1, 1))
        self.assertLess(admitted[0]["t"] - closed[0]["t"], GIVEN_WAY_AT_ONCE)
        # Logged out: taken without a probe.
        loser.send(rc.LOGOUT)
        fourth = self._alice()
        self.assertGreaterEqual(fourth.expect(rc.LOGIN_ACK_ID).int(0), 1)
        loser.expect_quiet(*HOLDER_ASKED)
        # Logged out and in again in one read while another login waits on its probe: its new
        # login is served as any, and the waiting one asks it in turn; nobody is let in and cut.
        fifth = self._alice()
        fourth.expect(rc.ALIVE_ID)
        fourth.send(rc.LOGOUT + rc.login("alice", hashed))
        self.assertGreaterEqual(fourth.expect(rc.LOGIN_ACK_ID).int(0), 1)
        fourth.send(fourth.expect(rc.ALIVE_ID).data)
        self.assertEqual(fifth.expect(rc.LOGIN_ACK_ID).text(1), ALREADY_PLAYING)
        fourth.send(rc.ALIVE_MINUS_ONE)
        fourth.expect_bytes(rc.ALIVE_MINUS_ONE)
        self.assertEqual(len(self.server.events("login_probe_unanswered")), 1)
        self.assertEqual(len(self.server.events("login")), 5)

    def test_registration_then_login_with_the_issued_key(self):
        client = self.track(rc.connected(self.server.lobby_port))
        client.send(rc.message(107, rc.text("bob_42")))
        confirm = client.expect(108)
        self.assertEqual(confirm.int(0), 0)
        key = confirm.text(1)
        hashed = rc.md5_hash("pw", key)
        client.send(rc.message(109, rc.text("bob_42"), rc.text("b@example.org"), rc.text(hashed),
                               rc.integer(0), rc.text(""), rc.text("")))
        done = client.expect(110)
        self.assertEqual((done.int(0), done.text(1)), (0, "bob_42"))
        client.send(rc.login("bob_42", hashed))
        self.assertGreaterEqual(client.expect(rc.LOGIN_ACK_ID).int(0), 1)
        self.assertEqual(self._key(client, "bob_42"), key)
        other = self.track(rc.connected(self.server.lobby_port))
        other.send(rc.message(107, rc.text("bob_42")))
        self.assertNotEqual(other.expect(108).int(0), 0)
        other.send(rc.message(109, rc.text("carol"), rc.text(""), rc.text(hashed), rc.integer(0),
                              rc.text(""), rc.text("")))
        self.assertEqual(other.expect(110).int(0), -4)   # no key was issued for it
        # The address is the account's second name: taken for others, good for a login.
        other.send(rc.message(107, rc.text("carol")))
        other_hash = rc.md5_hash("pw", other.expect(108).text(1))
        other.send(rc.message(109, rc.text("carol"), rc.text("B@example.org"), rc.text(other_hash),
                              rc.integer(0), rc.text(""), rc.text("")))
        self.assertEqual(other.expect(110).int(0), -2)
        by_address = self.track(rc.connected(self.server.lobby_port))
        by_address.send(rc.login("b@example.org", rc.md5_hash("pw", self._key(by_address, "b@example.org"))))
        self.assertGreaterEqual(by_address.expect(rc.LOGIN_ACK_ID).int(0), 1)


class AccountInAStore(StoreCase, unittest.TestCase):
    def test_a_session_reading_the_echo_only_after_a_locked_store_answers_twice_keeps_its_account(self):
        server = self.start("--account", "alice:secret")
        first = send_alice_login(self.connect(server))
        self.assertGreaterEqual(first.expect(rc.LOGIN_ACK_ID).int(0), 1)
        second = self.connect(server)
        second.send(rc.get_random_key("alice"))
        hashed = rc.md5_hash("secret", second.expect(rc.RANDOM_KEY_ID).text(0))

        def register(name):
            first.send(rc.message(107, rc.text(name)))
            key = first.expect(108).text(1)
            return rc.message(109, rc.text(name), rc.text(""), rc.text(rc.md5_hash("pw", key)), rc.integer(0),
                              rc.text(""), rc.text(""))
        carol, dave = register("carol"), register("dave")
        other = sqlite3.connect(database_path(self.path), isolation_level=None)
        self.addCleanup(other.close)
        other.execute("BEGIN EXCLUSIVE")
        first.send(carol)
        server.wait_for("in", name="ConfirmEmail")
        second.send(rc.login("alice", hashed))
        probe = first.expect(rc.ALIVE_ID)
        # Busy twice in a row: the echo is read after the second registration is answered,
        # each one waiting for the lock for as long as the store waits.
        self.assertNotEqual(first.expect(110).int(0), 0)
        first.send(dave + probe.data)
        refused = second.expect(rc.LOGIN_ACK_ID)
        self.assertEqual((refused.int(0), refused.text(1)), IN_USE)
        self.assertNotEqual(first.expect(110).int(0), 0)
        first.send(rc.ALIVE_MINUS_ONE)
        first.expect_bytes(rc.ALIVE_MINUS_ONE)


REDIRECT_CLOSE = 0.5    # seconds a redirected connection stays open


class Redirect(ServerTestCase, unittest.TestCase):
    server_args = ("--redirect", "127.0.0.1:5002", "--redirect-close", str(REDIRECT_CLOSE))

    def test_connection_is_redirected_and_left_open_for_a_while(self):
        client = self.track(rc.RawClient(self.server.lobby_port))
        sent = time.monotonic()
        client.send(rc.CONNECTION)
        client.expect_bytes(bytes.fromhex(
            "A2 18 80 00 81 01 FD 82 0E 31 32 37 2E 30 2E 30 2E 31 3A 35 30 30 32 83 01 01"))
        # Its time counts from the Connection read, which came after it was sent.
        client.expect_closed()
        self.assertGreaterEqual(time.monotonic() - sent, REDIRECT_CLOSE)
        self.assertEqual([c["reason"] for c in self.server.wait_for("close")], ["redirected"])


if __name__ == "__main__":
    unittest.main()

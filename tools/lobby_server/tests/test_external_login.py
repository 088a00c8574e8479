"""ExternalLogin (111): an account per (login type, external id), made on first use and
answered with a LoginACK like an account login."""

import unittest

from tests import rawclient as rc
from tests.serverproc import ServerTestCase
from tests.test_login import IN_USE


def external_login(login_type, external_id, token, t3="", t4=""):
    """The client's form: login type and four texts."""
    return rc.message(111, rc.integer(login_type), rc.text(external_id), rc.text(token), rc.text(t3),
                      rc.text(t4))


class ExternalLogin(ServerTestCase, unittest.TestCase):
    def login(self, *args):
        client = self.track(rc.connected(self.server.lobby_port))
        client.send(external_login(*args))
        return client, client.expect(rc.LOGIN_ACK_ID)

    def test_first_login_makes_the_account_and_later_ones_find_it(self):
        _, first = self.login(1, "abc", "token-1", "x", "y")
        self.assertGreaterEqual(first.int(0), 1001)
        self.assertEqual(first.text(1), "t%d" % first.int(0))
        self.assertEqual(first.text(5), "ext1_abc")
        _, again = self.login(1, "abc", "another token")
        self.assertEqual(again.text(5), "ext1_abc")
        self.assertNotEqual(again.int(0), first.int(0))   # user ids are per login
        _, other_type = self.login(2, "abc", "token")
        self.assertEqual(other_type.text(5), "ext2_abc")
        self.assertEqual(len(self.server.events("external_account")), 2)

    def test_names_keep_to_the_hand_built_readers_characters(self):
        cases = [
            (1, "a.b@c d", "ext1_abcd"),
            (3, "caf\u00e9-\u20ac_9", "ext3_caf-_9"),
            (1, "1234567890123456789", "ext1_1234567890"),
            (1, "12345678901234567xx", "ext1_12345678-2"),     # cut to a name already taken
            (-1, "\u00e9\u00e9", "ext-1_"),
        ]
        for login_type, external_id, name in cases:
            with self.subTest(external_id=external_id):
                _, ack = self.login(login_type, external_id, "tok")
                self.assertEqual(ack.text(5), name)
                self.assertTrue(ack.fields()[5].isascii())

    def test_missing_id_or_token_is_refused_and_the_connection_may_retry(self):
        for external_id, token in (("", "tok"), ("abc", ""), ("", "")):
            with self.subTest(external_id=external_id, token=token):
                client, ack = self.login(1, external_id, token)
                self.assertEqual(ack.int(0), -1)
                self.assertTrue(ack.text(1))
                client.send(external_login(1, "abc", "tok"))
                self.assertEqual(client.expect(rc.LOGIN_ACK_ID).text(5), "ext1_abc")
        self.assertEqual(self.server.events("external_account")[0]["name"], "ext1_abc")

    def test_a_live_session_keeps_its_account_and_a_silent_one_gives_way(self):
        older, _ = self.login(1, "abc", "tok")
        newer = self.track(rc.connected(self.server.lobby_port))
        newer.send(external_login(1, "abc", "tok"))
        probe = older.expect(rc.ALIVE_ID)
        older.send(probe.data)   # echoed as the game does
        refused = newer.expect(rc.LOGIN_ACK_ID)
        self.assertEqual((refused.int(0), refused.text(1)), IN_USE)
        older.send(rc.ALIVE_MINUS_ONE)
        older.expect_bytes(rc.ALIVE_MINUS_ONE)
        # Left unanswered: the older is closed and the newer, trying again, gets in.
        newer.send(external_login(1, "abc", "tok"))
        older.expect(rc.ALIVE_ID)
        self.assertEqual(newer.expect(rc.LOGIN_ACK_ID).text(5), "ext1_abc")
        older.expect_closed()

    def test_a_registered_name_is_not_given_to_an_external_account(self):
        client = self.track(rc.connected(self.server.lobby_port))
        client.send(rc.message(107, rc.text("ext1_abc")))
        key = client.expect(108).text(1)
        client.send(rc.message(109, rc.text("ext1_abc"), rc.text("a@b.cd"), rc.text(rc.md5_hash("pw", key)),
                               rc.integer(0), rc.text(""), rc.text("")))
        self.assertEqual(client.expect(110).int(0), 0)
        _, ack = self.login(1, "abc", "tok")
        self.assertEqual(ack.text(5), "ext1_abc-2")


if __name__ == "__main__":
    unittest.main()

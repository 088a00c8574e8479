"""peer.py, the scripted second player: its messages pass the strict server, two peers reach
a match and play it through (chat, results, rematch, departure), challenges, account logins,
and bad commands are reported without ending it."""

import json
import unittest

from peer import decode_server, encode_client
from lobbyserver import messages
from tests import rawclient as rc
from tests.controlclient import ControlClient
from tests.peerproc import PeerProcess
from tests.serverproc import SharedServerTestCase


class PeerCase(SharedServerTestCase):
    server_args = ("--control-port", "0", "--account", "alice1:secret")

    def setUp(self):
        super().setUp()
        self.control = ControlClient(self.server.control_port)
        self.addCleanup(self.control.close)

    def peer(self):
        process = PeerProcess(self.server.lobby_port)
        # Cleanups run last first: the peers end before the server counts violations.
        self.addCleanup(process.stop)
        return process

    def guests(self, count=2):
        """Peers logged in as guests, started side by side: (process, user id) of each."""
        processes = [self.peer() for _ in range(count)]
        for process in processes:
            process.command("guest")
        return [(process, process.received("LoginACK")[0]["user"]) for process in processes]

    def match(self):
        (a, a_id), (b, b_id) = self.guests()
        a.command("queue")
        b.command("queue", source=1)
        for process in (a, b):
            process.received("GameStart", conn="lobby")
            process.received("GameStart", conn="game")
        return a, a_id, b, b_id


class Codec(unittest.TestCase):
    def test_the_client_forms_are_the_protocol_examples(self):
        cases = [
            (7, dict(app=64, a=0, b=2), rc.QUEUE_LOBBY),
            (9, dict(app=64), rc.QUEUE_LEAVE),
            (92, dict(flags=0x401), rc.GROUPS_401),
            (96, dict(flags=0x401, count=100, start=0), rc.ITEMS_401),
            (5, dict(user="guest", hash="0", one=1, text=""), rc.GUEST_LOGIN),
            (46, dict(one=1, session=1, player_count=2, start_flag=1, user=1001, app=64, framework="2.05"),
             rc.game_ready(1, 1001, 1)),
            (15, dict(session=1, app=64, zero=0, players=[1001, 1002], ranks=[1, 2], leaving=0),
             rc.game_end(1, [1001, 1002], [1, 2])),
        ]
        for msg_id, values, expected in cases:
            with self.subTest(msg_id=msg_id):
                self.assertEqual(encode_client(msg_id, values), expected)

    def test_server_messages_decode_by_name_and_unknown_ones_as_hex(self):
        start = messages.game_start(7, [(1001, "a"), (1002, "b")], 1, "127.0.0.1:9")
        fields = decode_server(12, start[2:])
        self.assertEqual(fields, {"session": 7, "players": [[1001, "a"], [1002, "b"]], "flag": 1, "flag2": 1,
                                  "address": "127.0.0.1:9", "value": 0})
        self.assertEqual(decode_server(106, b"\x80\x01\x05"), {"hex": "800105"})
        broken = decode_server(64, b"\x80\x09\x01")
        self.assertIn("undecoded", broken)

    def test_missing_and_unknown_fields_are_refused(self):
        from peer import PeerError
        for values in (dict(app=64), dict(app=64, a=0, b=2, c=1)):
            with self.subTest(values=values), self.assertRaises(PeerError):
                encode_client(7, values)
        with self.assertRaises(PeerError):
            encode_client(12, {})     # the server's message, never the client's


class Match(PeerCase, unittest.TestCase):
    def test_two_peers_reach_a_match_through_the_item_round(self):
        a, a_id, b, b_id = self.match()
        for process in (a, b):
            self.assertEqual([e["flags"] for e in process.events("round_done")], [0x401])
        flags = [p.received("GameStart", conn="game")[0]["flag"] for p in (a, b)]
        self.assertEqual(sorted(flags), [0, 1])
        ready = self.server.wait_for("in", count=2, name="GameReady")
        self.assertEqual(sorted(r["fields"]["user"] for r in ready), sorted([a_id, b_id]))

    def test_chat_game_messages_results_and_rematch(self):
        a, a_id, b, b_id = self.match()
        a.command("chat", type=0)
        a.command("chat", text="hello")
        b.received("ChatMessage", type=2, text="hello", sender=a_id)
        self.assertEqual(b.received("ChatMessage", type=0)[0]["sender"], a_id)
        payload = bytes(range(12)).hex()
        a.command("game_message", payload=payload)
        self.assertEqual(b.received("GameMessage")[0]["payload"], payload)
        for process in (a, b):
            process.command("game_end", players=[a_id, b_id], ranks=[1, 2])
        self.assertEqual(self.server.wait_for("match_result")[0]["winner"], a_id)
        for process in (a, b):
            process.command("rematch", wish=1)
        for process in (a, b):
            process.received("RematchReceived", value=3)
            # The agreed rematch runs the round again and starts on the same connection.
            process.received("GameStart", conn="game", count=2)
        self.assertEqual(len(self.server.wait_for("match_start", count=2)), 2)

    def test_closing_the_game_connection_tells_the_other_player(self):
        a, a_id, b, _b_id = self.match()
        a.command("close", conn="game")
        self.assertEqual(b.received("GameDisconnect")[0]["player"], a_id)
        self.assertEqual(a.events("closed")[0]["conn"], "game")

    def test_unqueue_leaves_the_queue(self):
        (a, _), (b, _) = self.guests()
        a.command("queue")
        a.command("unqueue")
        self.server.wait_for("in", name="QueueUnregisterFrom")
        b.command("queue")
        self.server.wait_for("in", name="QueueRegisterIn", count=2)
        # Nothing before the answer to a's Alive, which the server reads after b's queueing.
        a.command("send", id=44, fields={"value": -1})
        a.received("Alive", value=-1)
        self.assertEqual([line for line in a.lines if line.get("name") == "GameStart"], [])


class Challenges(PeerCase, unittest.TestCase):
    def test_challenge_accepted_starts_the_match_with_the_challenger_first(self):
        (a, a_id), (b, b_id) = self.guests()
        a.command("challenge", ids=[b_id])
        received = b.received("ChallengeReceived")[0]
        self.assertEqual(received["challenger"], a_id)
        b.command("challenge_response", challenger=a_id, answer=1)
        starts = [p.received("GameStart", conn="game")[0] for p in (a, b)]
        self.assertEqual(starts[0]["players"][0][0], a_id)

    def test_refusal_reaches_the_challenger_with_the_text(self):
        (a, a_id), (b, b_id) = self.guests()
        a.command("challenge", ids=[b_id])
        b.received("ChallengeReceived")
        b.command("challenge_response", challenger=a_id, answer=0, text="not now")
        answer = a.received("ChallengeResponse")[0]
        self.assertEqual((answer["answer"], answer["responder"], answer["text"]), (0, b_id, "not now"))


class Logins(PeerCase, unittest.TestCase):
    def test_account_login_and_a_wrong_password(self):
        good, bad = self.peer(), self.peer()
        good.command("login", user="alice1", password="secret")
        self.assertEqual(good.received("LoginACK")[0]["name"], "alice1")
        bad.command("login", user="alice1", password="wrong")
        self.assertEqual(bad.received("LoginACK")[0]["user"], -1)

    def test_bad_commands_are_reported_and_the_peer_goes_on(self):
        process = self.peer()
        process.proc.stdin.write(b"not json\n[1]\n")
        process.proc.stdin.flush()
        process.command("dance")
        process.command("chat", text="nobody to talk to")
        process.command("send", id=12, fields={})
        errors = process.wait_for(lambda line: line["event"] == "error", count=5)
        self.assertEqual(len(errors), 5, process.lines)
        process.command("guest")
        self.assertGreater(process.received("LoginACK")[0]["user"], 0)

    def test_generic_send_writes_any_client_message(self):
        [(process, user)] = self.guests(1)
        process.command("send", id=25, fields={"key": "guestLogin"})
        self.assertEqual(process.received("KeyValue")[0], {"key": "guestLogin", "value": "1"})


class ItemRounds(PeerCase, unittest.TestCase):
    def set_items(self, user, count, **extra):
        items = [{"id": 500 + i, "name": "item%d" % i, "group": 7, "amount": i, "enabled": 1, "data_id": 101,
                  "last": 1} for i in range(count)]
        return self.control.ok("items", user=user, groups=[{"id": 7, "name": "Bombs", "type": 5}], items=items,
                               **extra)

    def test_pages_of_a_set_list_and_the_flags_echoed(self):
        [(process, user)] = self.guests(1)
        self.set_items(user, 150)
        process.command("round", flags=0x801)
        groups = process.received("ShopItemGroups", flags=0x801)[0]["groups"]
        self.assertEqual(groups, [[7, "Bombs", 5, 0, 0, 150]])
        pages = process.received("ShopItems", flags=0x801, count=2)
        self.assertEqual([(p["start"], len(p["items"])) for p in pages], [(0, 100), (100, 50)])
        first = pages[0]["items"][0]
        self.assertEqual((first[0], first[1], first[7], first[9], first[11], first[12], first[14]),
                         (500, "item0", 7, 0, 1, 101, 1))
        self.assertEqual(process.events("round_done")[0]["items"], 150)

    def test_undelivered_items_are_announced_and_the_page_after_the_list_is_empty(self):
        [(process, user)] = self.guests(1)
        self.set_items(user, 3, undelivered=2)
        process.command("round", flags=0x201)
        self.assertEqual(process.received("ShopItemGroups")[0]["groups"][0][5], 5)
        pages = process.received("ShopItems", count=2)
        self.assertEqual([len(p["items"]) for p in pages], [3, 0])

    def test_shown_lists_and_other_users_keep_the_empty_answers(self):
        (process, user), (other, _) = self.guests()
        self.set_items(user, 4)
        process.command("round", flags=0)
        other.command("round", flags=0x401)
        self.assertEqual(process.received("ShopItemGroups", flags=0)[0]["groups"], [])
        self.assertEqual(other.received("ShopItemGroups", flags=0x401)[0]["groups"], [])

    def test_bad_lists_are_refused(self):
        bad = [
            dict(user=1001, groups=[{"id": 1}], items=[{"id": 2, "group": 9}]),
            dict(user=1001, groups=[{"id": 1}, {"id": 1}]),
            dict(user=1001, groups=[{"id": 1, "name": 5}]),
            dict(user=1001, groups=[{"id": 1}], items=[{"id": 2, "group": 1, "price": 1 << 40}]),
            dict(user=1001, groups=[{"id": 1}], items=[{"group": 1}]),
            dict(user=1001, undelivered=3),
            dict(user="1001"),
            dict(user=1001, groups=[{"id": 1, "colour": 2}]),
        ]
        for command in bad:
            with self.subTest(command=command):
                answer = self.control.command("items", **command)
                self.assertFalse(answer["ok"])


if __name__ == "__main__":
    unittest.main()

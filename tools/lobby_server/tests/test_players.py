"""Player lists and their pictures, game-session players, tournament scores, past matches,
the wallet and the achievement list."""

import unittest
import zlib

from tests import rawclient as rc
from tests.test_match import MatchCase, Player

PLAYER_LIST, PLAYER_IMAGE, TOURNAMENT_SCORES, LATEST_SESSIONS, BUDDY_ACK = 20, 85, 16, 75, 22


def list_players(kind, first, count, text=""):
    return rc.message(19, rc.integer(kind), rc.integer(first), rc.integer(count), rc.text(text),
                      rc.integer(0), rc.integer(0))


def records(value):
    """The fields (tag index -> bytes) of each record of a record list."""
    out, pos = [], 0
    while pos < len(value):
        assert value[pos] == 0x30
        size, header = rc.read_length(value, pos + 1)
        out.append(rc.Message(bytes([0xA0]) + value[pos + 1:pos + 1 + header + size]).fields())
        pos += 1 + header + size
    return out


def number(data):
    return int.from_bytes(data, "big", signed=True)


def items_of(player_list):
    """(id, name, flags, [statistics]) of each item."""
    out = []
    for item in records(player_list.fields()[3]):
        stats = rc.Message(bytes([0xA0]) + rc.raw(item[7])).fields()
        out.append((number(item[0]), item[1].decode(), number(item[5]), [number(stats[i]) for i in range(8)]))
    return out


def png_size(image):
    """Width and height of a PNG, after checking that its picture data inflates."""
    assert image[:8] == b"\x89PNG\r\n\x1a\n"
    pos, size, data = 8, None, b""
    while pos < len(image):
        length = int.from_bytes(image[pos:pos + 4], "big")
        kind, body = image[pos + 4:pos + 8], image[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            size = (int.from_bytes(body[:4], "big"), int.from_bytes(body[4:8], "big"))
        elif kind == b"IDAT":
            data += body
        pos += 12 + length
    zlib.decompress(data)
    return size


class PlayerLists(MatchCase, unittest.TestCase):
    def setUp(self):
        super().setUp()
        self.players = [Player(self, self.server.lobby_port) for _ in range(3)]

    def test_the_header_answer_counts_in_groups_and_sends_no_pictures(self):
        a = self.players[0]
        a.lobby.send(list_players(0, -1, 0))
        answer = a.lobby.expect(PLAYER_LIST)
        self.assertEqual((answer.int(0), answer.int(1), answer.int(2)), (3, -1, 0))
        self.assertEqual(answer.fields()[3], b"")
        groups = [(g[0].decode(), number(g[1])) for g in records(answer.fields()[4])]
        self.assertEqual(groups, [("Online", 3)], "no Offline header over nobody")
        a.lobby.send(list_players(0, -1, 0, "nobody"))
        self.assertEqual(a.lobby.expect(PLAYER_LIST).fields()[4], b"", "no match: no groups")
        a.lobby.expect_quiet()

    def test_following_and_blocking_mark_the_rows_and_fill_the_follow_list(self):
        a, b, c = self.players
        # Nobody follows or blocks himself: a follow or an unfollow is answered as not standing.
        for target, action, standing in ((b.id, 0, 0), (c.id, 0, 0), (c.id, 1, 1), (a.id, 0, 1), (a.id, 1, 1)):
            a.lobby.send(rc.message(21, rc.integer(target), rc.integer(a.id), rc.integer(1), rc.integer(action),
                                    rc.text("")))
            ack = a.lobby.expect(BUDDY_ACK)
            self.assertEqual((ack.int(1), ack.int(2), ack.int(3)), (target, 1, standing))
        for target in (c.id, a.id):
            a.lobby.send(rc.message(76, rc.integer(target), rc.integer(1)))
        a.lobby.send(list_players(64, 0, 10))
        followed = a.lobby.expect(PLAYER_LIST)
        self.assertEqual([(i, f) for i, _n, f, _s in items_of(followed)], [(b.id, 0x11)])
        a.lobby.expect(PLAYER_IMAGE)
        a.lobby.send(list_players(0, 0, 10))
        flags = {i: f for i, _n, f, _s in items_of(a.lobby.expect(PLAYER_LIST))}
        self.assertEqual(flags, {a.id: 0x1, b.id: 0x11, c.id: 0x101})
        for _ in range(3):
            a.lobby.expect(PLAYER_IMAGE)
        b.lobby.expect_quiet()

    def test_items_from_the_first_index_then_one_picture_each(self):
        a, b, c = self.players
        a.lobby.send(list_players(0, 1, 2))
        answer = a.lobby.expect(PLAYER_LIST)
        self.assertEqual((answer.int(0), answer.int(1), answer.int(2)), (3, 1, 0))
        self.assertEqual([(i, n, f) for i, n, f, _s in items_of(answer)],
                         [(b.id, b.name, 1), (c.id, c.name, 1)])
        for player in (b, c):
            picture = a.lobby.expect(PLAYER_IMAGE)
            self.assertEqual(picture.int(0), player.id)
            self.assertEqual(png_size(picture.fields()[2]), (8, 8))
        a.lobby.expect_quiet()

    def test_kinds_and_the_filter(self):
        a, b, _c = self.players
        cases = ((0, b.name.upper(), [b.id]), (0, "nobody", []), (32, "", [a.id]), (64, "", []))
        for kind, text, ids in cases:
            with self.subTest(kind=kind, text=text):
                a.lobby.send(list_players(kind, 0, 10, text))
                answer = a.lobby.expect(PLAYER_LIST)
                self.assertEqual((answer.int(0), answer.int(2)), (len(ids), kind))
                self.assertEqual([i for i, _n, _f, _s in items_of(answer)], ids)
                for _ in ids:
                    a.lobby.expect(PLAYER_IMAGE)
        a.lobby.expect_quiet()

    def test_a_picture_on_request_and_zero_scores(self):
        a, b, _c = self.players
        a.lobby.send(rc.message(84, rc.integer(b.id), rc.integer(0)))
        self.assertEqual(a.lobby.expect(PLAYER_IMAGE).int(0), b.id)
        a.lobby.send(rc.message(14, rc.int_list([b.id, a.id]), rc.integer(2), rc.integer(1)))
        scores = a.lobby.expect(TOURNAMENT_SCORES)
        self.assertEqual([number(r[0]) for r in records(scores.fields()[1])], [b.id, a.id])
        self.assertEqual(scores.int(2), 2)

    def test_wallet_and_achievements_answer_empty(self):
        a = self.players[0]
        a.lobby.send(bytes.fromhex("BF 5A 00"))
        self.assertEqual(a.lobby.expect(91).int(0), 0)
        a.lobby.send(rc.message(10, *[rc.integer(0)] * 4))
        self.assertEqual(a.lobby.expect(11).fields()[3], b"")


class AfterAMatch(MatchCase, unittest.TestCase):
    def test_game_session_players_results_and_statistics(self):
        a, b, starts, _games = self.start_match()
        session = starts[0].long(0)
        a.lobby.send(rc.message(18, rc.long_integer(session)))
        answer = a.lobby.expect(PLAYER_LIST)
        self.assertEqual((answer.int(1), answer.int(2)), (0, 256))
        self.assertEqual([i for i, _n, _f, _s in items_of(answer)], [a.id, b.id])
        a.lobby.expect(PLAYER_IMAGE)
        a.lobby.expect(PLAYER_IMAGE)
        for player in (a, b):
            player.game.send(rc.game_end(session, [a.id, b.id], [1, 2]))
        self.server.wait_for("match_result")
        a.lobby.send(rc.message(74, rc.integer(64), rc.integer(6)))
        past = records(a.lobby.expect(LATEST_SESSIONS).fields()[0])
        self.assertEqual([(number(r[1]), r[4].decode()) for r in past], [(1, b.name)])
        b.lobby.send(list_players(0, 0, 2, b.name))
        stats = items_of(b.lobby.expect(PLAYER_LIST))[0][3]
        self.assertEqual(stats[3:6], [0, 1, 0])    # wins, losses, ties of b


if __name__ == "__main__":
    unittest.main()

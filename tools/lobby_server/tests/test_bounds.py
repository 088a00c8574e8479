"""Each request that names players or items takes each id once and no more of them than the
game sends: what it makes the server send stays as small as the game's own requests make it."""

import unittest

from lobbyserver.bounds import (MAX_GIFT_RECIPIENTS, MAX_IMAGE_IDS, MAX_LIST_ROWS,
                                MAX_SCORE_IDS, MAX_SHOP_ROWS)
from tests import rawclient as rc
from tests.shopcase import COINS, ShopCase, ints, records
from tests.test_challenges import CHALLENGE_RECEIVED, CHALLENGE_RESPONSE, PLAYER_IMAGE, make_challenge
from tests.test_players import list_players

COPIES = 16000       # one id this many times: near the largest list one frame holds
UNKNOWN = 900000     # ids from here on name nobody


class RequestBounds(ShopCase, unittest.TestCase):
    def test_every_list_taking_request_counts_each_id_once_and_refuses_more_than_the_game_sends(self):
        s, s_id, _ = self.guest()
        b, b_id, _ = self.guest()
        unknown = list(range(UNKNOWN, UNKNOWN + MAX_LIST_ROWS))

        # A challenge reaches its target once however often the list names him, and once
        # more when it is shown already; beyond the cap nobody is asked and the sender is told.
        for _ in range(2):
            s.send(make_challenge([b_id] * COPIES))
        self.assertEqual(b.expect(CHALLENGE_RECEIVED).int(1), s_id)
        self.assertEqual(b.expect(PLAYER_IMAGE).int(0), s_id)
        # 42 ids are what the game's 128 bytes hold: those are each answered, the 43rd refuses all.
        s.send(make_challenge(unknown[:42]))
        self.assertEqual([s.expect(CHALLENGE_RESPONSE).int(0) for _ in range(42)], [3] * 42)
        s.send(make_challenge([b_id] + unknown[:42]))
        self.assertEqual((s.expect(CHALLENGE_RESPONSE).int(0), s.expect_quiet()), (0, None))
        self.assertEqual(b.expect_quiet(), None)

        # Tournament scores: one record per player, none beyond the cap.
        def scores(ids):
            answer = self.ask(s, 14, rc.int_list(ids), *ints(2, 1), answer=16)
            return [rc.Message(bytes([0xA0]) + r[0]).content for r in records(answer.fields()[1])]
        self.assertEqual(len(scores([b_id] * COPIES)), 1)
        self.assertEqual(len(scores([b_id] + unknown[:MAX_SCORE_IDS - 1])), MAX_SCORE_IDS)
        self.assertEqual(scores([b_id] + unknown[:MAX_SCORE_IDS]), [])

        # Player rows and shop rows: a count beyond the cap gets an empty page.
        for count, rows in ((MAX_LIST_ROWS, 2), (MAX_LIST_ROWS + 1, 0)):
            s.send(list_players(0, 0, count))
            self.assertEqual(len(records(s.expect(20).fields()[3])), rows)
            for _ in range(rows):
                s.expect(PLAYER_IMAGE)
        self.assertEqual(len(self.items(s, 0, MAX_SHOP_ROWS)[2]), 4)
        self.assertEqual(self.items(s, 0, MAX_SHOP_ROWS + 1)[2], [])

        # Shop pictures: one answer per item named, nothing beyond the cap.
        s.send(rc.message(99, rc.int_list([11] * COPIES), rc.integer(0)))
        self.assertEqual(s.expect(100).int(0), 11)
        s.send(rc.message(99, rc.int_list([11] + unknown[:MAX_IMAGE_IDS]), rc.integer(0)))
        s.expect_quiet()

        # Gifts: each recipient and each item paid and given once.
        self.assertEqual(self.buy(s, 11, 1, [b_id] * COPIES)[1], (1, ""))
        s.expect(45)     # "Gift sent to" the one player
        self.assertEqual(self.coins(s), COINS - 120)
        refused = self.buy(s, 12, 1, [b_id] + unknown[:MAX_GIFT_RECIPIENTS])[1]
        self.assertEqual(refused, (1, "Choose at most %d players" % MAX_GIFT_RECIPIENTS))
        self.assertEqual(self.ask(s, 115, *ints(b_id, 0), rc.int_list([21] * COPIES), answer=116).text(2), "")
        s.expect(45)
        self.assertEqual(self.coins(s), COINS - 120 - 40)
        b.expect(45)     # one notice for each gift
        b.expect(45)
        self.assertEqual(self.items(b, 1)[2], [(11, 1, 1, "Red hat"), (21, 3, 1, "Bomb")])


if __name__ == "__main__":
    unittest.main()

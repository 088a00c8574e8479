"""Achievements and tournament scores from recorded matches; the catalogue's promotions."""

import unittest

from tests import rawclient as rc
from tests.shopcase import PROMO, ShopCase, ints, number, records
from tests.test_match import MatchCase


class Awards(ShopCase, MatchCase, unittest.TestCase):
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
        client.expect_nothing()


if __name__ == "__main__":
    unittest.main()

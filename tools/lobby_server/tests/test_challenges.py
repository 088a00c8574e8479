"""Challenges: MakeChallenge to each online target with the challenger's picture, the
answer forwarded to the challenger, an accepted challenge paired as quick play is."""

import unittest

from tests import rawclient as rc
from tests.test_match import MatchCase, Player, players_of

CHALLENGE_RECEIVED, CHALLENGE_RESPONSE, PLAYER_IMAGE = 39, 40, 85


def make_challenge(ids, words=""):
    return rc.message(38, rc.integer(64), rc.int_list(ids), rc.text(words), tags={1: 0xA1})


def answer(value, own, challenger, words):
    return rc.message(40, rc.integer(value), rc.integer(64), rc.integer(own), rc.integer(challenger),
                      rc.text(""), rc.text(words))


class Challenges(MatchCase, unittest.TestCase):
    def setUp(self):
        super().setUp()
        self.a, self.b = Player(self, self.server.lobby_port), Player(self, self.server.lobby_port)

    def challenge(self):
        a, b = self.a, self.b
        a.lobby.send(make_challenge([b.id]))
        received = b.lobby.expect(CHALLENGE_RECEIVED)
        self.assertEqual((received.long(0), received.int(1), received.text(2), received.text(3),
                          received.int(4), received.int(5)), (0, a.id, a.name, "", 1, 0))
        self.assertEqual(b.lobby.expect(PLAYER_IMAGE).int(0), a.id)
        a.lobby.expect_nothing()

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
        a.lobby.expect_nothing()
        b.lobby.expect_nothing()

    def test_an_answer_without_a_challenge_changes_nothing(self):
        a, b = self.a, self.b
        self.challenge()
        b.lobby.send(answer(0, b.id, a.id, ""))
        a.lobby.expect(CHALLENGE_RESPONSE)
        b.lobby.send(answer(1, b.id, a.id, "late"))     # answered already
        a.lobby.send(answer(1, a.id, b.id, "never"))    # never challenged
        a.lobby.expect_nothing()
        b.lobby.expect_nothing()
        self.assertEqual(len(self.server.events("challenge_unknown")), 2)

    def test_unreachable_or_busy_targets_are_refused_without_asking_them(self):
        a, b = self.a, self.b
        b.lobby.send(rc.QUEUE_LOBBY)
        for target, refusal in ((99999, 3), (b.id, 2)):
            with self.subTest(target=target):
                a.lobby.send(make_challenge([target]))
                response = a.lobby.expect(CHALLENGE_RESPONSE)
                self.assertEqual((response.int(0), response.int(2), response.int(3)), (refusal, target, a.id))
        b.lobby.expect_nothing()

    def test_a_player_in_a_match_is_busy(self):
        a, b, _starts, _games = self.start_match()
        self.a.lobby.send(make_challenge([a.id]))
        response = self.a.lobby.expect(CHALLENGE_RESPONSE)
        self.assertEqual((response.int(0), response.int(2), response.text(4)), (2, a.id, a.name))
        a.lobby.expect_nothing()

    def test_a_withdrawn_challenge_can_no_longer_be_accepted(self):
        a, b = self.a, self.b
        self.challenge()
        a.lobby.send(answer(0, a.id, a.id, ""))
        # The one asked hears a refusal about himself: his panel closes.
        told = b.lobby.expect(CHALLENGE_RESPONSE)
        self.assertEqual((told.int(0), told.int(2), told.int(3)), (0, b.id, a.id))
        b.lobby.send(answer(1, b.id, a.id, ""))
        a.lobby.expect_nothing()
        b.lobby.expect_nothing()
        self.assertEqual(len(self.server.events("challenge_withdrawn")), 1)
        self.assertEqual(len(self.server.events("challenge_unknown")), 1)


if __name__ == "__main__":
    unittest.main()

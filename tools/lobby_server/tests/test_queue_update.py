"""QueueUpdate (8) to both paired players before their GameStart, with --queue-updates."""

import unittest

from tests import rawclient as rc
from tests.test_match import MatchCase, Player, players_of

QUEUE_UPDATE_ID = 8


def queue_update(players, a, app, status):
    """The expected bytes, from the tests' own encoder: tag 0xA0 player list, three ints."""
    records = b"".join(b"\x30" + rc.raw(b"\x80" + rc.integer(uid) + b"\x81" + rc.text(name))
                       for uid, name in players)
    return rc.message(QUEUE_UPDATE_ID, rc.raw(records), rc.integer(a), rc.integer(app), rc.integer(status),
                      tags={0: 0xA0})


class QueueUpdates(MatchCase, unittest.TestCase):
    server_args = ("--queue-updates",)

    def test_both_players_get_it_before_game_start(self):
        a, b = Player(self, self.server.lobby_port), Player(self, self.server.lobby_port)
        a.lobby.send(rc.QUEUE_LOBBY)
        a.lobby.expect_quiet()                 # nothing while waiting alone
        b.lobby.send(rc.QUEUE_GAME)
        for p in (a, b):
            update = p.lobby.expect(QUEUE_UPDATE_ID)
            start = p.lobby.expect(rc.GAME_START_ID)
            order = players_of(start)
            self.assertEqual(order, [(a.id, a.name), (b.id, b.name)])
            self.assertEqual(update.data, queue_update(order, 0, 64, 0))


class WithoutQueueUpdates(MatchCase, unittest.TestCase):
    def test_game_start_is_the_first_answer(self):
        a, b = Player(self, self.server.lobby_port), Player(self, self.server.lobby_port)
        a.lobby.send(rc.QUEUE_LOBBY)
        b.lobby.send(rc.QUEUE_LOBBY)
        for p in (a, b):
            self.assertEqual(p.lobby.recv().id, rc.GAME_START_ID)
        self.assertEqual([e for e in self.server.events("out") if e.get("id") == QUEUE_UPDATE_ID], [])


if __name__ == "__main__":
    unittest.main()

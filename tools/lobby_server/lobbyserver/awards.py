"""Achievements and tournament scores from the recorded matches, and the catalogue's
promotions. LobbyAwards is a part of LobbyService; the handlers take (client, fields).

A stored account's results come from the store (they outlive a restart), anybody else's are
kept per user id for the run, as the player lists count them.
"""

import time

from . import messages
from .bounds import MAX_SCORE_IDS, once_each
from .catalogue import by_name

WEEK = 7 * 24 * 3600
WIN_POINTS, TIE_POINTS = 3, 1
TOURNAMENTS = ("This week", "All time")

# (number, title, description, test on (matches played, wins)); the newest first.
ACHIEVEMENTS = (
    (3, "Three wins", "Won three matches", lambda played, wins: wins >= 3),
    (2, "First win", "Won a first match", lambda played, wins: wins >= 1),
    (1, "First match", "Played a first match", lambda played, wins: played >= 1),
)


def points(results):
    return sum(WIN_POINTS if r["result"] == 1 else TIE_POINTS if r["result"] == 0 else 0 for r in results)


class LobbyAwards:
    """Mixed into LobbyService: uses self.server, self.log, self.results_of()."""

    def award_handlers(self):
        return by_name({"GetAchievementList": self._achievements, "GetTournamentScores": self._tournament_scores,
                        "GetImageAndLink": self._image_and_link})

    def _achievements(self, client, fields):
        results = self.results_of(client.user_id)
        wins = sum(1 for r in results if r["result"] == 1)
        records = [[number, 1, title, text, "", ""] for number, title, text, test in ACHIEVEMENTS
                   if test(len(results), wins)]
        if fields["b"] > 0:
            records = records[:fields["b"]]
        client.conn.send(messages.achievement_list(fields["a"], len(records), fields["c"], records, fields["d"]),
                         {"achievements": [r[2] for r in records]})

    def _tournament_scores(self, client, fields):
        ids, since = once_each(fields["ids"]), time.time() - WEEK
        records = []
        if len(ids) > MAX_SCORE_IDS:
            self.refused(client, "GetTournamentScores", ids=len(ids))
            ids = []
        for uid in ids:
            results = self.results_of(uid)
            records.append([uid, [points([r for r in results if r["time"] >= since]), points(results)]])
        client.conn.send(messages.tournament_scores(list(TOURNAMENTS), records, fields["a"]),
                         {"ids": ids, "kinds": fields["a"], "scores": [r[1] for r in records]})

    def _image_and_link(self, client, fields):
        promo_id = fields["image"]
        promotion = self.server.catalogue.promotions.get(promo_id)
        if promotion is None:
            self.log.write("promotion_unknown", conn=client.conn.name, image=promo_id)
            return
        client.conn.send(messages.image_and_link(promo_id, promotion.image, promotion.link, promotion.label, ""),
                         {"image": promo_id, "link": promotion.link, "size": len(promotion.image)})

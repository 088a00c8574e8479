"""How much one request may ask for: each id once, and no more of them than the game ever
sends. A request beyond that is refused whole, so that no client can make one answer
(or one burst of messages to another player) as large as it likes.
"""

# MakeChallenge: the game writes the ids of its selection into 128 bytes, three at the least each.
MAX_CHALLENGE_TARGETS = 42
# ListPlayers' count: a list asks for five of its pages at a time, ten rows a page in the
# shipped layouts; twice that leaves room for a theme with longer pages.
MAX_LIST_ROWS = 100
# GetTournamentScores: the game asks for the players of one player-list answer, or one challenger.
MAX_SCORE_IDS = MAX_LIST_ROWS
# GetShopItems' count: the in-game list asks for 100 at a time, the shop's lists for five pages of ten.
MAX_SHOP_ROWS = 100
# GetShopItemImage: the game writes its ids into 128 bytes, three at the least each after the
# message's own eight.
MAX_IMAGE_IDS = 40
# ConfirmBuyItem's recipients: the players a gift page offers; more than a hundred at once is
# no page a player picks from.
MAX_GIFT_RECIPIENTS = 100
# LatestGameSessions: the game asks for its six latest matches (the own card shows three).
MAX_LATEST_SESSIONS = 6


def once_each(ids):
    """The ids in their order, each only where it first stands."""
    return list(dict.fromkeys(ids))

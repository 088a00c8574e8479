"""The stored accounts' scores in order and their follower counts, kept up to date account by
account: a rank or a follower count is then a look-up, not a walk over the whole store."""

import bisect
import collections


class Standings:
    def __init__(self, entries):
        """entries: name -> (score, names it follows)."""
        self._entries = {}
        self.followers = collections.Counter()
        for name, (score, follows) in entries.items():
            self._entries[name] = (score, frozenset(follows))
            self.followers.update(self._entries[name][1])
        self._scores = sorted(score for score, _follows in self._entries.values())

    def update(self, name, score, follows):
        """One account's score or follows changed (None: it is gone)."""
        old = self._entries.pop(name, None)
        if old is not None:
            del self._scores[bisect.bisect_left(self._scores, old[0])]
            self.followers.subtract(old[1])
        if score is not None:
            entry = self._entries[name] = (score, frozenset(follows))
            bisect.insort(self._scores, score)
            self.followers.update(entry[1])

    def higher(self, score):
        """How many stored accounts score more."""
        return len(self._scores) - bisect.bisect_right(self._scores, score)

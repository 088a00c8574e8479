"""What the lobby's pages ask for: player lists with their pictures, game-session players,
past matches, challenges, language and theme packs. LobbyPages is a part of LobbyService; the handlers take (client, fields).

Player list kinds: 0 every logged-in player then every stored account nobody is logged in
to (filtered by the text), 32 the asking player, 64 the players one follows, 256 the game
session's players. Follows and blocks between stored accounts are kept in the store, the
others (a guest on either side) for the run.
"""

import asyncio
import struct
import time
import zlib

from . import messages
from .accounts import PendingWrite
from .bounds import MAX_CHALLENGE_TARGETS, MAX_LATEST_SESSIONS, MAX_LIST_ROWS, once_each
from .catalogue import by_name
from .standings import Standings

ONLINE, FOLLOWED, BLOCKED = 0x1, 0x10, 0x100
BUSY_FLAG = 0x2   # a challenge to the player would be answered BUSY: the client offers none
KIND_ALL, KIND_OWN, KIND_FOLLOWED, KIND_GAME_SESSION = 0, 32, 64, 256
# Challenge answers: the client shows its text 6 for BUSY and 7 for OFFLINE.
REFUSED, ACCEPTED, BUSY, OFFLINE = 0, 1, 2, 3
MATCH_RETRY_DELAY = 1.0   # seconds between tries of a match result the store did not take


def picture(user_id, size=8):
    """A small PNG of one colour made from the user id: every player has their own."""
    colour = bytes([(user_id * 67) & 0xFF, (user_id * 131) & 0xFF, (user_id * 29 + 90) & 0xFF])
    rows = b"".join(b"\x00" + colour * size for _ in range(size))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    header = struct.pack(">IIBBBBB", size, size, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows)) +
            chunk(b"IEND", b""))


class LobbyPages:
    """Mixed into LobbyService: uses self.online_clients(), self.server, self.log."""

    def page_handlers(self):
        return by_name({
            "GetGameSessionPlayers": self._game_session_players, "ListPlayers": self._list_players,
            "GetAvailableLanguages": self._languages, "GetLanguagePack": self._language_pack,
            "GetThemePack": self._theme_pack, "MakeChallenge": self._make_challenge,
            "ChallengeResponse": self._challenge_response, "GetLatestGameSessions": self._latest_sessions,
            "GetPlayerImage": self._player_image, "BuddyRequest": self._buddy_request,
            "BlockUser": self._block_user})

    # ---- players ----

    def _clients(self):
        return [c for c in self.clients if c.logged_in]

    def _stored(self, client):
        """The stored account of a logged-in client, or None (guests, external accounts)."""
        account = client.account
        return account if isinstance(account, str) and self.accounts.get(account) is not None else None

    def _entry(self, client):
        """(user id, name, stored account or None, online) of a logged-in client."""
        return (client.user_id, client.name, self._stored(client), True)

    def _offline_entries(self, wanted):
        """The stored accounts nobody is logged in to, by name, with their ids."""
        return [(self.account_id(name), name, name, False) for name in sorted(self.accounts.accounts)
                if self.online.get(name) is None and wanted in name.lower()]

    def _account_of(self, user_id):
        return self.accounts.name_of(user_id)

    def _memory(self, field):
        """user id -> set of user ids followed ("follows") or blocked ("blocks") that the store
        does not keep (a guest on either side); for this run only."""
        return self.__dict__.setdefault("_" + field, {})

    def _related_ids(self, user_id, account, field):
        ids = set(self._memory(field).get(user_id, ()))
        ids.update(self.account_id(name) for name in self.accounts.names(account, field) if account)
        return ids

    def blocks(self, client, user_id):
        """Whether the logged-in client has blocked that player."""
        return user_id in self._related_ids(client.user_id, self._stored(client), "blocks")

    async def _set_relation(self, client, target_id, field, on):
        """Whether the relation now stands as asked: False when the store could not take it or
        the target is the client himself, None for a client that is not logged in (a relation is
        kept under the user's id)."""
        if client.user_id is None or not client.logged_in:
            self.log.write("relation_refused", conn=client.conn.name, kind=field)
            return None
        if target_id == client.user_id:   # nobody follows or blocks himself
            self.log.write("relation_refused", conn=client.conn.name, kind=field, player=target_id)
            return False
        target_account, account = self._account_of(target_id), self._stored(client)
        if account and target_account:
            try:
                await self.accounts.set_relation(account, field, target_account, on, since=client.conn.request_at)
            except OSError as err:
                self.log.write("store_error", conn=client.conn.name, error=str(err))
                return False
            return True
        ids = self._memory(field).setdefault(client.user_id, set())
        if on:
            ids.add(target_id)
        else:
            ids.discard(target_id)
        return True

    def _followers(self, user_id, account):
        count = sum(user_id in ids for ids in self._memory("follows").values())
        if account:
            count += self.standings().followers[account]
        return count

    def standings(self):
        """The stored accounts' scores and follower counts (Standings), made once and then
        brought up to date account by account: a list's every row would otherwise walk the
        whole store twice."""
        store, cached = self.accounts, self.__dict__.get("_standings_cache")
        if cached is None:
            store.touched.clear()
            cached = self._standings_cache = Standings({
                name: (self._score(None, name), entry.get("follows", ())) for name, entry in store.accounts.items()})
        while store.touched:
            name = store.touched.pop()
            entry = store.get(name)
            if entry is None:
                cached.update(name, None, ())
            else:
                cached.update(name, self._score(None, name), entry.get("follows", ()))
        return cached

    def _score(self, user_id, account):
        wins, _losses, ties = self.record_of(user_id, account)
        return 3 * wins + ties

    def results_of(self, user_id, account=None):
        """A player's finished matches, newest first ({"result", "opponent", "time", ...}): a
        stored account's from the store, so that they outlive a restart; anybody else's of this run."""
        account = account or self._account_of(user_id)
        if account and self.accounts.get(account) is not None:
            return list(reversed(self.accounts.matches(account)))
        return self.server.games.results_of(user_id)

    def record_of(self, user_id, account):
        """(wins, losses, ties)."""
        results = [r["result"] for r in self.results_of(user_id, account)]
        return results.count(1), results.count(-1), results.count(0)

    def _rank_and_score(self, user_id, account):
        """Score 3 x wins + ties; rank 1 + the number of stored accounts with a higher score.
        A challenge and a player's record carry the same two."""
        own = self._score(user_id, account)
        return 1 + self.standings().higher(own), own

    def _item(self, entry, asker):
        user_id, name, account, online = entry
        wins, losses, ties = self.record_of(user_id, account)
        flags = ONLINE | self._busy_flag(user_id) if online else 0
        asker_account = self._stored(asker)
        if user_id in self._related_ids(asker.user_id, asker_account, "follows"):
            flags |= FOLLOWED
        if user_id in self._related_ids(asker.user_id, asker_account, "blocks"):
            flags |= BLOCKED
        profile = self.accounts.get(account) if account else None
        location = profile.get("location", "") if profile else ""
        comment = profile.get("comment", "") if profile else ""
        following = len(self._related_ids(user_id, account, "follows"))
        rank, score = self._rank_and_score(user_id, account)
        # Values 1-3 of the statistics: the score and the rank the player's card shows.
        return [user_id, name, "", "", location, flags, comment,
                [score, rank, 0, wins, losses, ties, self._followers(user_id, account), following]]

    def _send_list(self, client, kind, first, count, players, groups=()):
        conn = client.conn
        if first < 0:
            conn.send(messages.player_list(len(players), first, kind, [], list(groups)),
                      {"count": len(players), "first": first, "kind": kind, "groups": list(groups)})
            return
        chosen = players[first:first + max(count, 0)]
        conn.send(messages.player_list(len(players), first, kind, [self._item(p, client) for p in chosen], []),
                  {"count": len(players), "first": first, "kind": kind, "items": [p[0] for p in chosen]})
        for player in chosen:
            self._send_picture(conn, player[0])

    def _send_picture(self, conn, user_id):
        account = self._account_of(user_id)
        image = (self.accounts.picture(account) if account else None) or picture(user_id)
        conn.send(messages.player_image(user_id, 0, image), {"player": user_id})

    @staticmethod
    def _groups(online, offline):
        # The Online header always says who is online, nobody included; an Offline header
        # with nobody under it says nothing.
        return (["Online", len(online)],) + ((["Offline", len(offline)],) if offline else ())

    def _list_players(self, client, fields):
        kind, first, count = fields["kind"], fields["first"], fields["count"]
        if count > MAX_LIST_ROWS:
            self.refused(client, "ListPlayers", count=count)
            self._send_list(client, kind, first, 0, [])
            return
        wanted = fields["filter"].lower()
        groups = ()
        if kind == KIND_ALL:
            online = [self._entry(c) for c in self._clients() if wanted in c.name.lower()]
            offline = self._offline_entries(wanted)
            players = online + offline
            # No match gets no groups, so the client shows its "no results" text.
            groups = self._groups(online, offline) if players else ()
        elif kind == KIND_OWN:
            players = [self._entry(client)]
        elif kind == KIND_FOLLOWED:
            followed = self._related_ids(client.user_id, self._stored(client), "follows")
            online = [self._entry(c) for c in self._clients()]
            online_ids = {o[0] for o in online}
            on = [e for e in online if e[0] in followed and wanted in e[1].lower()]
            off = [e for e in self._offline_entries(wanted) if e[0] in followed and e[0] not in online_ids]
            players = on + off
            # Grouped as the global list is: a followed player is shown where he really is.
            groups = self._groups(on, off) if players else ()
        else:
            players = []
        self._send_list(client, kind, first, count, players, groups)

    async def _buddy_request(self, client, fields):
        # Field 0 the other player, 2 the type (1: follow), 3 the action (0 follow, 1 unfollow).
        target, kind, action = fields["b"], fields["c"], fields["d"]
        if kind != 1 or action not in (0, 1):
            self.log.write("buddy_request_ignored", conn=client.conn.name, type=kind, action=action)
            return
        stored = await self._set_relation(client, target, "follows", action == 0)
        if stored is None:
            return
        # One the store could not take is acknowledged as the state that still stands, which
        # the client shows in place of the one it set when asking.
        standing = action if stored else 1 - action
        if target == client.user_id:
            standing = 1   # not followed, whatever was asked
        client.conn.send(messages.buddy_request(target, client.user_id, 1, standing, "", ack=True),
                         {"player": target, "action": standing})

    async def _block_user(self, client, fields):
        await self._set_relation(client, fields["player"], "blocks", bool(fields["block"]))

    def record_match(self, slots, winner, stamp):
        """A finished match counts at once for each player with a stored account; it goes
        into the store as soon as the store takes it (tried again until then)."""
        for slot in slots:
            account = self._stored(slot.lobby)
            if account is None:
                continue
            opponent = next((s.name for s in slots if s is not slot), "")
            result = 0 if winner is None else (1 if winner == slot.user_id else -1)
            pending = self.accounts.add_match(account, opponent, result, stamp)
            if pending is not None:
                task = asyncio.ensure_future(self._store_match(pending, slot.user_id))
                self._unsaved()[task] = pending
                task.add_done_callback(lambda done: self._unsaved().pop(done, None))

    def _unsaved(self):
        """Task -> match result the store has not taken yet."""
        return self.__dict__.setdefault("_unsaved_matches", {})

    async def _store_match(self, pending, user_id):
        told = False
        while True:
            try:
                await pending.attempt()
                return
            except OSError as err:
                if not told:   # once per result, not once per try
                    self.log.write("store_error", user=user_id, error=str(err), retrying=True)
                    told = True
            await asyncio.sleep(MATCH_RETRY_DELAY)

    async def store_unsaved_matches(self, since):
        """At a stop: the results still waiting for the store get one last write, which waits
        for another process's lock until BUSY_TIMEOUT after since (time.monotonic()); returns
        how many stay unstored."""
        waiting = dict(self._unsaved())
        for task in waiting:
            task.cancel()
        await asyncio.gather(*waiting, return_exceptions=True)
        return await PendingWrite.store_all(self.accounts, list(waiting.values()), since)

    def _game_session_players(self, client, fields):
        session = client.session
        players = []
        if session is not None and session.id == fields["session"]:
            by_id = {c.user_id: c for c in self._clients()}
            players = [self._entry(by_id[s.user_id]) for s in session.slots if s.user_id in by_id]
        self._send_list(client, KIND_GAME_SESSION, 0, len(players), players)

    def _player_image(self, client, fields):
        self._send_picture(client.conn, fields["a"])

    def _latest_sessions(self, client, fields):
        results = self.results_of(client.user_id, self._stored(client))[:MAX_LATEST_SESSIONS]
        records = []
        for result in results:
            stamp = time.strftime("%d.%m.%Y %H:%M:%S", time.localtime(result["time"]))
            points = result.get("points", {1: 3, 0: 1, -1: 0}[result["result"]])
            records.append([0, result["result"], points, 0, result["opponent"], stamp])
        client.conn.send(messages.latest_game_sessions(records), {"sessions": len(records)})

    # ---- challenges ----

    def _make_challenge(self, client, fields):
        targets, app = once_each(fields["ids"]), fields["app"]
        if len(targets) > MAX_CHALLENGE_TARGETS:
            self.refused(client, "MakeChallenge", ids=len(targets))
            client.conn.send(messages.challenge_response(REFUSED, app, 0, client.user_id, "", ""),
                             {"answer": REFUSED, "responder": 0})
            return
        by_id = {c.user_id: c for c in self._clients()}
        for target_id in targets:
            target = by_id.get(target_id)
            if target is client:
                continue
            # Without asking the target: offline for an unknown one, busy for one in the queue or a match.
            refusal = OFFLINE if target is None else (BUSY if self._busy(target) else None)
            if refusal is None and self.blocks(target, client.user_id):
                # Answered as the target's own decline: the challenger learns no more than that.
                self.log.write("challenge_blocked", challenger=client.user_id, target=target_id)
                refusal = REFUSED
            if refusal is not None:
                name = target.name if target else (self._account_of(target_id) or "")
                client.conn.send(
                    messages.challenge_response(refusal, app, target_id, client.user_id, name, ""),
                    {"answer": refusal, "responder": target_id})
                continue
            pending = target.challenges.get(client.user_id)
            if pending is not None and pending[0] is client:
                # Shown already: the target's game asks for the challenger's scores at each one.
                self.log.write("challenge_repeated", challenger=client.user_id, target=target_id)
                continue
            target.challenges[client.user_id] = (client, app)
            rank, score = self._rank_and_score(client.user_id, self._stored(client))
            target.conn.send(messages.challenge_received(0, client.user_id, client.name, "", rank, score),
                             {"challenger": client.user_id, "name": client.name, "rank": rank,
                              "score": score})
            self._send_picture(target.conn, client.user_id)

    def _name_of(self, user_id):
        """The name of a logged-in player or a stored account, else empty."""
        online = next((c.name for c in self._clients() if c.user_id == user_id), None)
        return online or self._account_of(user_id) or ""

    def _busy(self, client):
        return client.queued_app is not None or self.server.games.game_open(client)

    def _busy_flag(self, user_id):
        """BUSY_FLAG for a logged-in player whom a challenge would find busy (queued, or his game
        connection open, also on the chat after a match), so that the list and the answer agree."""
        return BUSY_FLAG if any(c.user_id == user_id and self._busy(c) for c in self._clients()) else 0

    def end_challenges(self, client, refusal, reason):
        """The client takes part in no challenge any more (it closed, logged out or was paired):
        each player it still asks hears the withdrawal, and each challenger still waiting for
        its answer hears refusal (OFFLINE or BUSY) about it. Nothing is sent while the server stops."""
        waiting, client.challenges = client.challenges, {}
        if self.server.stopping:
            return
        self._withdraw(client, reason)
        for challenger, app in waiting.values():
            if challenger.conn.closed or not challenger.logged_in:
                continue
            self.log.write("challenge_refused", challenger=challenger.user_id, target=client.user_id,
                           answer=refusal, reason=reason)
            challenger.conn.send(
                messages.challenge_response(refusal, app, client.user_id, challenger.user_id, client.name, ""),
                {"answer": refusal, "responder": client.user_id, "challenger": challenger.user_id})

    def _withdraw(self, challenger, reason):
        """Nobody is asked by the challenger any more. A challenge of another session of its
        account (a stored account keeps its id) stays."""
        for other in self._clients():
            pending = other.challenges.get(challenger.user_id)
            if pending is not None and pending[0] is challenger:
                del other.challenges[challenger.user_id]
                self._tell_withdrawn(other, challenger.user_id, challenger.name, pending[1], reason)

    def _tell_withdrawn(self, target, challenger_id, name, app, reason):
        """A refusal about the target himself naming the challenger: his client closes that
        challenge's panel and toast."""
        self.log.write("challenge_withdrawn", challenger=challenger_id, target=target.user_id, reason=reason)
        target.conn.send(messages.challenge_response(REFUSED, app, target.user_id, challenger_id, name, ""),
                         {"answer": REFUSED, "responder": target.user_id, "challenger": challenger_id})

    def _challenge_response(self, client, fields):
        answer = fields["answer"]
        if fields["challenger"] == client.user_id and answer == REFUSED:
            self._withdraw(client, "withdrawn")
            return
        pending = client.challenges.pop(fields["challenger"], None)
        if pending is None:
            # A late answer (the challenge answered, withdrawn, or never made) changes nothing;
            # an accept hears the withdrawal, so that its dialog does not wait for a match.
            self.log.write("challenge_unknown", conn=client.conn.name, challenger=fields["challenger"])
            if answer == ACCEPTED:
                self._tell_withdrawn(client, fields["challenger"], self._name_of(fields["challenger"]),
                                     fields["app"], "unknown")
            return
        challenger, app = pending
        if challenger.conn.closed or not challenger.logged_in:
            # Gone before the server handled its going: an accept hears the withdrawal that
            # handling would have sent.
            if answer == ACCEPTED:
                self._tell_withdrawn(client, challenger.user_id, challenger.name, app,
                                     "closed" if challenger.conn.closed else "logged out")
            return
        if answer == ACCEPTED and not self.can_pair(challenger, client):
            self._tell_withdrawn(client, challenger.user_id, challenger.name, app, "not paired")
            return
        challenger.conn.send(
            messages.challenge_response(answer, app, client.user_id, challenger.user_id, client.name, "",
                                        fields["t2"]),
            {"answer": answer, "responder": client.user_id, "name": client.name, "text": fields["t2"]})
        if answer == ACCEPTED:
            self._start(app, challenger, client)

    # ---- languages and themes ----

    def _languages(self, client, fields):
        packs = self.server.language_packs
        if packs is None:      # no --language-dir: no answer
            return
        listed = [[code, base, pack.digest, len(pack.data)] for (base, code), pack in sorted(packs.items())]
        client.conn.send(messages.available_languages_list(listed), {"languages": listed})

    def _language_pack(self, client, fields):
        code, target = fields["a"], fields["b"]
        pack = (self.server.language_packs or {}).get((target, code))
        if pack is None:
            self.log.write("language_unknown", conn=client.conn.name, code=code, target=target)
            return
        client.conn.send(messages.language_pack(target, code, "", len(pack.data), pack.data),
                         {"target": target, "code": code, "size": len(pack.data)})

    def _theme_pack(self, client, fields):
        pack, name = self.server.theme_pack, self.cfg.theme
        if pack is None or fields["theme"] == pack.digest:
            return
        client.conn.send(messages.theme_pack(name, "", pack.data), {"name": name, "size": len(pack.data)})

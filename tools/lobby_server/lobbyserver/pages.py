"""What the lobby's pages ask for: player lists with their pictures, game-session players,
past matches, challenges, language and theme packs. LobbyPages is a part of LobbyService; the handlers take (client, fields).

Player list kinds: 0 every logged-in player (filtered by the text), 32 the asking player,
64 the players one follows (none: following is not kept), 256 the game session's players.
"""

import struct
import time
import zlib

from . import messages

ONLINE, FOLLOWED, BLOCKED = 0x1, 0x10, 0x100
KIND_ALL, KIND_OWN, KIND_FOLLOWED, KIND_GAME_SESSION = 0, 32, 64, 256


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
        return {18: self._game_session_players,
                19: self._list_players, 28: self._languages, 30: self._language_pack, 32: self._theme_pack,
                38: self._make_challenge, 40: self._challenge_response, 74: self._latest_sessions,
                84: self._player_image, 21: self._buddy_request, 76: self._block_user}

    # ---- players ----

    def _clients(self):
        return [c for c in self.clients if c.logged_in]

    def _relations(self, kind):
        """user id -> set of user ids the player follows ("follows") or blocks ("blocks")."""
        return self.__dict__.setdefault("_" + kind, {})

    def _item(self, client, asker=None):
        wins, losses, ties = self.server.games.record_of(client.user_id)
        flags = ONLINE
        if asker is not None:
            if client.user_id in self._relations("follows").get(asker.user_id, ()):
                flags |= FOLLOWED
            if client.user_id in self._relations("blocks").get(asker.user_id, ()):
                flags |= BLOCKED
        return [client.user_id, client.name, "", "", "", flags, "", [0, 0, 0, wins, losses, ties, 0, 0]]

    def _send_list(self, client, kind, first, count, players, groups=()):
        conn = client.conn
        if first < 0:
            conn.send(messages.player_list(len(players), first, kind, [], list(groups)),
                      {"count": len(players), "first": first, "kind": kind, "groups": list(groups)})
            return
        chosen = players[first:first + max(count, 0)]
        conn.send(messages.player_list(len(players), first, kind, [self._item(p, client) for p in chosen], []),
                  {"count": len(players), "first": first, "kind": kind, "items": [p.user_id for p in chosen]})
        for player in chosen:
            self._send_picture(conn, player.user_id)

    def _send_picture(self, conn, user_id):
        conn.send(messages.player_image(user_id, 0, picture(user_id)), {"player": user_id})

    def _list_players(self, client, fields):
        kind, first, count = fields["kind"], fields["first"], fields["count"]
        wanted = fields["filter"].lower()
        groups = ()
        if kind == KIND_ALL:
            players = [c for c in self._clients() if wanted in c.name.lower()]
            # Everybody listed is logged in: the offline group stays empty. No match gets no
            # groups, so the client shows its "no results" text.
            groups = (["Online", len(players)], ["Offline", 0]) if players else ()
        elif kind == KIND_OWN:
            players = [client]
        elif kind == KIND_FOLLOWED:
            followed = self._relations("follows").get(client.user_id, set())
            players = [c for c in self._clients() if c.user_id in followed and wanted in c.name.lower()]
            groups = (["Online", len(players)],) if players else ()
        else:
            players = []
        self._send_list(client, kind, first, count, players, groups)

    def _buddy_request(self, client, fields):
        # Field 0 the other player, 2 the type (1: follow), 3 the action (0 follow, 1 unfollow).
        target, kind, action = fields["b"], fields["c"], fields["d"]
        if kind != 1 or action not in (0, 1):
            self.log.write("buddy_request_ignored", conn=client.conn.name, type=kind, action=action)
            return
        followed = self._relations("follows").setdefault(client.user_id, set())
        if action == 0:
            followed.add(target)
        else:
            followed.discard(target)
        client.conn.send(messages.buddy_request(target, client.user_id, 1, action, "", ack=True),
                         {"player": target, "action": action})

    def _block_user(self, client, fields):
        blocked = self._relations("blocks").setdefault(client.user_id, set())
        if fields["block"]:
            blocked.add(fields["player"])
        else:
            blocked.discard(fields["player"])

    def _game_session_players(self, client, fields):
        session = client.session
        players = []
        if session is not None and session.id == fields["session"]:
            by_id = {c.user_id: c for c in self._clients()}
            players = [by_id[s.user_id] for s in session.slots if s.user_id in by_id]
        self._send_list(client, KIND_GAME_SESSION, 0, len(players), players)

    def _player_image(self, client, fields):
        self._send_picture(client.conn, fields["a"])

    def _latest_sessions(self, client, fields):
        records = []
        for result in self.server.games.results_of(client.user_id):
            stamp = time.strftime("%d.%m.%Y %H:%M:%S", time.localtime(result["time"]))
            records.append([0, result["result"], 0, 0, result["opponent"], stamp])
        client.conn.send(messages.latest_game_sessions(records), {"sessions": len(records)})

    # ---- challenges ----

    def _make_challenge(self, client, fields):
        by_id = {c.user_id: c for c in self._clients()}
        for target_id in fields["ids"]:
            target = by_id.get(target_id)
            if target is client:
                continue
            # Without asking the target: 3 for an offline or unknown one, 2 for a busy one.
            refusal = 3 if target is None else (2 if self._busy(target) else None)
            if refusal is not None:
                client.conn.send(
                    messages.challenge_response(refusal, fields["app"], target_id, client.user_id,
                                                target.name if target else "", ""),
                    {"answer": refusal, "responder": target_id})
                continue
            target.challenges[client.user_id] = (client, fields["app"])
            target.conn.send(messages.challenge_received(0, client.user_id, client.name, "", 0, 0),
                             {"challenger": client.user_id, "name": client.name})
            self._send_picture(target.conn, client.user_id)

    def _busy(self, client):
        return client.queued_app is not None or self.server.games.game_open(client)

    def _challenge_response(self, client, fields):
        if fields["challenger"] == client.user_id and fields["answer"] == 0:
            # The challenger withdraws its own challenge: nobody is asked any more.
            for other in self._clients():
                if other.challenges.pop(client.user_id, None) is not None:
                    self.log.write("challenge_withdrawn", challenger=client.user_id, target=other.user_id)
            return
        # A late answer (the challenge already answered, or none made) changes nothing.
        pending = client.challenges.pop(fields["challenger"], None)
        if pending is None:
            self.log.write("challenge_unknown", conn=client.conn.name, challenger=fields["challenger"])
            return
        challenger, app = pending
        if challenger.conn.closed or not challenger.logged_in:
            return
        answer = fields["answer"]
        challenger.conn.send(
            messages.challenge_response(answer, app, client.user_id, challenger.user_id, client.name, "",
                                        fields["t2"]),
            {"answer": answer, "responder": client.user_id, "name": client.name, "text": fields["t2"]})
        if answer == 1:
            self.pair_challenge(app, challenger, client)

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

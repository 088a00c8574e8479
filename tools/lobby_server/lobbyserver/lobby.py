"""The lobby connection: identification, guest and account login, registration, key
values and the quick-play queue (the shop and the awards are mixed in).

Sections: LobbyClient (per-connection record); LobbyService (dispatch, handlers, queue).
"""

import asyncio
import re

from . import messages
from .accounts import new_key, valid_hash, valid_name
from .catalogue import CLIENT_SCHEMAS, GAME_IDS, by_name, ids
from .mail import welcome_mail
from .awards import LobbyAwards
from .ingame import InGameItems
from .pages import BUSY, OFFLINE, LobbyPages
from .service import Service
from .shop import LobbyShop

_NAME_CHAR = re.compile(r"[A-Za-z0-9_-]")
# What the game's own check lets through: 6 to 256 of these characters, wherever the "@" and
# the dots stand. Nothing else reaches the mail: no line break that would add a line to it, no
# direction override that would show another address than the one stored.
_EMAIL = re.compile(r"[A-Za-z0-9_.@-]{6,256}")


def _bad_email(email):
    """An address given (none is allowed) that the game's check would not have sent."""
    return bool(email) and not _EMAIL.fullmatch(email)


# Result codes of the registration answers (any non-zero value is a refusal to the client, which
# explains -1 to -3 and asks to try again later for any other). A malformed address is refused
# as a wrong detail, like a password hash that is none.
NAME_TAKEN, EMAIL_TAKEN, BAD_DETAILS, NOT_AVAILABLE = -1, -2, -3, -4

# A live session keeps its account: a login of an account held by a session that echoes this
# Alive within LOGIN_PROBE_WAIT is refused; one that does not (a machine asleep, a game frozen)
# is closed and gives way. Its own value, so that an echo of the idle probe (0) is not taken
# for it; the game echoes any value of 0 or more.
LOGIN_PROBE = 1
LOGIN_PROBE_WAIT = 3.0   # seconds; the game echoes within a frame, some 0.3 s when idle
ALREADY_PLAYING = "This account is already playing in another window or on another device."
# The LoginACK result of that refusal: the game shows the text as it does a wrong password's
# (-1), but offers no recovery of a forgotten password for it.
ACCOUNT_IN_USE = -8


class LobbyClient:
    def __init__(self, conn):
        self.conn = conn
        self.user_id = None
        self.name = None
        self.account = None
        self.logged_in = False
        self.redirected = False
        self.queued_app = None
        self.session = None        # the latest match this client was paired into
        self.pending_keys = {}     # name -> key issued by ConfirmUserName on this connection
        self.challenges = {}       # challenger id -> (challenger's LobbyClient, app id), unanswered
        self.probe = None          # future of the login probe sent, True once it is echoed
        self.logins = 0            # logins on this connection: a new one is another session


class LobbyService(LobbyShop, LobbyAwards, LobbyPages, Service):
    connection_word = "lobby"
    accepted_ids = frozenset(CLIENT_SCHEMAS) - GAME_IDS
    # What a client sends before it has logged in: identification, keep-alive, the login and
    # registration steps, and what its login page asks for (the guest key, the language it
    # chooses there, the promotions it fetches on a screen change, a queue leave or Logout
    # after a refused login). Every other message needs a login.
    before_login = ids(
        "Connection", "Alive", "GetKeyValue", "GetRandomKey", "Login", "ExternalLogin", "ConfirmUserName",
        "ConfirmEmail", "Logout", "QueueUnregisterFrom", "ChangeLanguageMessage", "GetImageAndLink")
    before_identification = ids("Connection", "Alive")

    def __init__(self, server):
        super().__init__(server)
        self.accounts = server.accounts
        self.online = {}   # account name -> LobbyClient
        self.queues = {}   # app id -> [LobbyClient] in joining order
        self.external = {}  # (login type, external id) -> account name, for this run only
        self.clients = []   # every open lobby connection's LobbyClient, in opening order
        self.ingame = InGameItems()   # in-game item lists set by the control channel
        self.handlers = by_name({
            "Connection": self._connection, "Login": self._login, "QueueRegisterIn": self._queue_register,
            "QueueUnregisterFrom": self._queue_unregister, "GetKeyValue": self._get_key_value,
            "Alive": self._alive, "GetRandomKey": self._get_random_key, "Logout": self._logout,
            "ConfirmUserName": self._confirm_user_name, "ConfirmEmail": self._confirm_email,
            "ExternalLogin": self._external_login,
        })
        self.handlers.update(self.page_handlers())
        self.handlers.update(self.award_handlers())
        self.handlers.update(self.shop_handlers())

    # ---- connection life ----

    def on_open(self, conn):
        conn.state = LobbyClient(conn)
        self.clients.append(conn.state)

    def on_close(self, conn):
        client = conn.state
        if client in self.clients:
            self.clients.remove(client)
        self._dequeue(client)
        self.end_challenges(client, OFFLINE, "closed")
        self._release(client)
        self.server.games.lobby_closed(client)
        # Its match, if it goes on, needs only the seat's record of this client; the way
        # back would keep both alive until the collector's next full pass.
        client.session = None

    def dispatch(self, conn, msg_id, fields):
        client = conn.state
        if msg_id not in self.before_identification:
            if not conn.identified:
                self.log.violation(conn, "message %d before Connection" % msg_id)
                return
            if client.redirected:
                self.log.violation(conn, "message %d after a redirect" % msg_id)
                return
            if msg_id not in self.before_login and not client.logged_in:
                self.log.violation(conn, "message %d before login" % msg_id)
                return
        handler = self.handlers.get(msg_id)
        return handler(client, fields) if handler else None

    # ---- identification and login ----

    def _connection(self, client, fields):
        conn = client.conn
        if conn.identified:
            self.log.violation(conn, "repeated Connection")
            return
        conn.identified = True
        if self.cfg.redirect:
            client.redirected = True
            conn.redirect_deadline = conn.last_rx + self.cfg.redirect_close
            conn.send(messages.connect_ack(-3, "", self.cfg.redirect, self.cfg.release))
        else:
            conn.send(messages.connect_ack(0, "", "", self.cfg.release))

    def _get_key_value(self, client, fields):
        if fields["key"] == "guestLogin":
            client.conn.send(messages.key_value("guestLogin", "1"))

    def _login(self, client, fields):
        conn = client.conn
        if client.logged_in:
            self.log.violation(conn, "Login on a connection already logged in")
            return
        user = fields["user"]
        if user == "guest":
            return self._logged_in(client, None, None)
        if self.accounts.check(user, fields["hash"]):
            name = self.accounts.login_name(user)
            return self._logged_in(client, name, name)
        self.log.write("login_refused", conn=conn.name, user=user)
        conn.send(messages.login_ack_error(-1, "Wrong user name or password"))

    def _external_login(self, client, fields):
        """An account per (login type, external id), made on first use; the token (second
        text) is not checked beyond being present."""
        conn = client.conn
        if client.logged_in:
            self.log.violation(conn, "ExternalLogin on a connection already logged in")
            return
        login_type, external_id, token = fields["login_type"], fields["t1"], fields["t2"]
        if not external_id or not token:
            self.log.write("login_refused", conn=conn.name, login_type=login_type, external_id=external_id)
            conn.send(messages.login_ack_error(-1, "External login needs an id and a token"))
            return
        key = (login_type, external_id)
        name = self.external.get(key)
        if name is None:
            name = self._external_name(login_type, external_id)
            self.external[key] = name
            self.log.write("external_account", conn=conn.name, login_type=login_type,
                           external_id=external_id, name=name)
        return self._logged_in(client, ("external",) + key, name)

    def _external_name(self, login_type, external_id):
        """ext<type>_<id> in the characters of a registered name (the LoginACK reader is
        hand-built), at most 15; a name already taken gets a numbered ending instead."""
        base = "".join(ch for ch in "ext%d_%s" % (login_type, external_id) if _NAME_CHAR.match(ch))[:15]
        taken = set(self.external.values())
        name, number = base, 1
        while name in taken or self.accounts.get(name) is not None:
            number += 1
            ending = "-%d" % number
            name = base[:15 - len(ending)] + ending
        return name

    def _logged_in(self, client, account, name):
        """account: the key of the account (None for a guest). A login of an account that an
        open session holds returns what to await: that session's answer to a probe."""
        if account and self._holder(account) is not None:
            return self._logged_in_unless_held(client, account, name)
        self._admit(client, account, name)

    async def _logged_in_unless_held(self, client, account, name):
        conn = client.conn
        if await self._take_account(client, account):
            self._admit(client, account, name)
        elif not conn.closed and not self.server.stopping:
            self.log.write("login_refused", conn=conn.name, user=name, reason="account in use")
            conn.send(messages.login_ack_error(ACCOUNT_IN_USE, ALREADY_PLAYING))

    def _admit(self, client, account, name):
        conn = client.conn
        if account:
            self.online[account] = client
        # A stored account has its id for good: the lists show it while it is offline.
        stored = isinstance(account, str) and self.accounts.get(account) is not None
        client.user_id = self.account_id(account) if stored else self.accounts.new_id()
        client.name = name or "guest%d" % client.user_id
        client.account = account
        client.logged_in = True
        client.logins += 1
        conn.admit()
        token = "t%d" % client.user_id
        self.log.write("login", conn=conn.name, user_id=client.user_id, name=client.name,
                       guest=account is None)
        conn.send(messages.login_ack(client.user_id, token, client.name))

    def _holder(self, account):
        """The open session that holds the account, if any."""
        older = self.online.get(account)
        return older if older is not None and not older.conn.closed else None

    async def _take_account(self, client, account):
        """True once the account is free for this client: its session closed or logged out,
        or left a probe unanswered and is closed now. False when a session that answers holds
        it, or this connection or the server is going."""
        while True:
            older = self._holder(account)
            if older is None:
                return True
            logins = older.logins
            answered = await self._answers_probe(older)
            if client.conn.closed or self.server.stopping:
                return False
            if self._holder(account) is not older or older.logins != logins:
                # Gone meanwhile, taken by a login that waited on the same probe, or logged in
                # anew on its own connection: whoever holds it now is asked in turn.
                continue
            if answered:
                return False
            self.log.write("login_probe_unanswered", conn=older.conn.name, by=client.conn.name)
            older.conn.close("no answer to a probe while its account logged in elsewhere")
            return True

    async def _answers_probe(self, older):
        """Whether the session echoes a login probe within LOGIN_PROBE_WAIT. Logins that come
        while one is out wait on the same. A session that is reading a request waiting for
        the store reads the echo only after it: it gets the wait again from each answer (the
        requests ahead of the echo are those sent before it, each answered by its deadline)."""
        if older.probe is None:
            older.probe = asyncio.get_running_loop().create_future()
            older.conn.send(messages.alive(LOGIN_PROBE), {"value": LOGIN_PROBE})
        probe = older.probe
        while True:
            try:
                return await asyncio.wait_for(asyncio.shield(probe), LOGIN_PROBE_WAIT)
            except asyncio.TimeoutError:
                busy = older.conn.answering
                if busy is None:
                    return False
                await asyncio.wait([busy])

    def _release(self, client):
        """The client holds its account no more: a login waiting on its probe goes on."""
        if client.account and self.online.get(client.account) is client:
            del self.online[client.account]
        if client.probe is not None and not client.probe.done():
            client.probe.set_result(False)
        client.probe = None

    def account_id(self, name):
        return self.accounts.ids[name]

    def refused(self, client, request, **asked):
        """A request that asks for more than the game ever does (bounds.py), answered as refused."""
        self.log.write("request_refused", conn=client.conn.name, request=request, **asked)

    def _get_random_key(self, client, fields):
        # An unknown name still gets a key, so the Login that follows fails as a login.
        key = self.accounts.key_for(fields["user"]) or new_key()
        client.conn.send(messages.random_key(key))

    def _logout(self, client, fields):
        self._dequeue(client)
        self.end_challenges(client, OFFLINE, "logged out")
        self._release(client)
        client.logged_in = False
        client.conn.logged_out()

    def _alive(self, client, fields):
        # Only the client's own keep-alive (negative) is echoed; >= 0 answers our probe.
        value = fields["value"]
        if value < 0:
            client.conn.send(messages.alive(value))
        elif value == LOGIN_PROBE and client.probe is not None:
            if not client.probe.done():
                client.probe.set_result(True)
            client.probe = None

    # ---- registration ----

    def _confirm_user_name(self, client, fields):
        name = fields["name"]
        if not valid_name(name) or self.accounts.get(name) is not None or name in self.external.values():
            client.conn.send(messages.confirm_user_name_ack(NAME_TAKEN, ""))
            return
        key = new_key()
        client.pending_keys[name] = key
        client.conn.registering()
        client.conn.send(messages.confirm_user_name_ack(0, key))

    async def _confirm_email(self, client, fields):
        name, hashed, email = fields["name"], fields["password"], fields["email"]
        key = client.pending_keys.get(name)
        if fields["login_type"] != 0 or key is None:
            result = NOT_AVAILABLE
        elif self.accounts.get(name) is not None:
            result = NAME_TAKEN
        elif _bad_email(email):
            result = BAD_DETAILS
        elif email and self.accounts.by_email(email) is not None:
            result = EMAIL_TAKEN
        elif not valid_hash(hashed):
            result = BAD_DETAILS
        else:
            result = await self._create_account(client, name, email, key, hashed)
        client.conn.send(messages.confirm_email_ack(result, name if result == 0 else ""))

    async def _create_account(self, client, name, email, key, hashed):
        """No mail leaves this machine: the account is usable at once, and the welcome
        mail is written to mail/<name>.txt beside the account store. Either both are
        written or neither: a refused registration leaves no account behind."""
        try:
            mail = welcome_mail(self.accounts.path, name, email)
        except OSError as err:
            self.log.write("mail_error", conn=client.conn.name, user=name, error=str(err))
            return NOT_AVAILABLE
        try:
            await self.accounts.create(name, key, hashed, email, since=client.conn.request_at)
        except OSError as err:
            self.accounts.accounts.pop(name, None)
            if mail is not None:
                mail.withdraw()
            self.log.write("store_error", conn=client.conn.name, error=str(err))
            return NOT_AVAILABLE
        del client.pending_keys[name]
        self.log.write("registered", conn=client.conn.name, user=name, email=email)
        return 0

    # ---- item-list rounds: a list the control channel set for the user wins over the shop's ----

    def _shop_item_groups(self, client, fields):
        if self.ingame.holds(client.user_id, fields["flags"]):
            client.conn.send(*self.ingame.groups_answer(client.user_id, fields["flags"]))
        else:
            LobbyShop._shop_item_groups(self, client, fields)

    def _shop_items(self, client, fields):
        if self.ingame.holds(client.user_id, fields["flags"]):
            client.conn.send(*self.ingame.items_answer(client.user_id, fields["flags"], fields["count"],
                                                       fields["start"]))
        else:
            LobbyShop._shop_items(self, client, fields)

    # ---- quick-play queue ----

    def _queue_register(self, client, fields):
        self._dequeue(client)
        app = fields["app"]
        client.queued_app = app
        self.queues.setdefault(app, []).append(client)
        self.pair(app)

    def _queue_unregister(self, client, fields):
        # Also arrives late, after pairing, from the client's still running wait timer.
        self._dequeue(client)

    def _dequeue(self, client):
        if client.queued_app is None:
            return
        queue = self.queues.get(client.queued_app, [])
        if client in queue:
            queue.remove(client)
        client.queued_app = None

    def pair(self, app):
        """Pairs queued clients in joining order. A client whose previous game connection
        is still open waits: it would ignore a lobby GameStart until that one closes."""
        queue = self.queues.get(app, [])
        games = self.server.games
        while not self.server.stopping:
            ready = [c for c in queue if not games.game_open(c)]
            if len(ready) < 2:
                return
            self._start(app, ready[0], ready[1])

    def can_pair(self, challenger, target):
        """Whether an accepted challenge can start now: a player whose previous game
        connection is still open would ignore the GameStart."""
        games = self.server.games
        if games.game_open(challenger) or games.game_open(target):
            self.log.write("challenge_not_paired", players=[challenger.user_id, target.user_id])
            return False
        return True

    def _start(self, app, first, second):
        """Pairs the two (an accepted challenge as quick play, the challenger first). Neither
        is free any more: their own challenges are withdrawn, those to them answered busy."""
        for client in (first, second):
            self._dequeue(client)
            self.end_challenges(client, BUSY, "paired")
        self.server.games.start_session(app, first, second)

    def pair_all(self):
        for app in list(self.queues):
            self.pair(app)

"""Accounts: name, a stable key (the salt GetRandomKey hands out) and md5(password + key),
and the profile the player lists show: location, comment, an optional picture (a PNG path,
relative to the store's folder), the accounts followed and blocked, and the recorded
matches ({"opponent", "result" 1 won / -1 lost / 0 tie, "points", "time"}, oldest first).

The key never changes once issued, because the client reuses a stored hash (remembered
logins, the login right after registration) without asking for a new key. Nor does the user
id: pictures, follows and results are shown by it, so it is stored with the account, and the
counter it comes from is stored too, so that no later id (a guest's included) repeats one.

The store is an SQLite database (WAL journal) read into memory at the start; each change
writes only its own rows in one transaction. Once serving, changes are written by a thread
of their own with its own connection, one after the other: a store that another process
keeps locked (a backup, an operator's shell) holds up only the changes waiting for it, never
the event loop. synchronous=NORMAL: a commit is in the system's cache when it returns, so a
killed server loses nothing it acknowledged; only a power cut may lose the last commits
(never the database's consistency).
"""

import asyncio
import concurrent.futures
import copy
import hashlib
import json
import os
import re
import secrets
import sqlite3
import stat
import string
import threading
import time

_KEY_ALPHABET = string.ascii_letters + string.digits
_NAME = re.compile(r"[A-Za-z0-9_-]{4,15}")
_HASH = re.compile(r"[0-9a-f]{32}")


def password_hash(password, key):
    """MD5 of the text taken one byte per 16-bit unit (its low byte), as lowercase hex."""
    units = (password + key).encode("utf-16-le", "surrogatepass")
    return hashlib.md5(units[0::2]).hexdigest()


def new_key():
    return "".join(secrets.choice(_KEY_ALPHABET) for _ in range(8))


def valid_name(name):
    return bool(_NAME.fullmatch(name)) and not name.lower().startswith("guest")


def whole_text(text):
    """The text with each pair of surrogate halves (the client's form of a character beyond
    the first plane) made one character; None when a half stands alone, which no valid
    text holds."""
    try:
        return text.encode("utf-16-le", "surrogatepass").decode("utf-16-le")
    except UnicodeDecodeError:
        return None


def valid_hash(text):
    return isinstance(text, str) and bool(_HASH.fullmatch(text))


class StoreError(Exception):
    pass


class StoreWriteError(OSError):
    """A change could not be written; the callers log it and answer as for a full disk."""


# The e-mail address rides in the row's "other" fields.
_TEXTS = ("location", "comment", "picture")
_NAME_LISTS = ("follows", "blocks")


def _match(name, record):
    """One recorded match, checked; points default to 3 for a win, 1 for a tie."""
    result = record["result"]
    if result not in (-1, 0, 1) or not isinstance(record.get("opponent", ""), str):
        raise ValueError("account %r has a bad match %r" % (name, record))
    points = record.get("points", {1: 3, 0: 1, -1: 0}[result])
    stamp = record.get("time", 0)
    if not isinstance(points, int) or not isinstance(stamp, (int, float)):
        raise ValueError("account %r has a bad match %r" % (name, record))
    return {"opponent": record.get("opponent", ""), "result": result, "points": points, "time": stamp}


def _entry(name, e):
    """A stored account with its optional profile, checked so that a bad store stops the start."""
    if not isinstance(e.get("key"), str) or not valid_hash(e.get("hash", "")):
        raise ValueError("account %r is incomplete" % name)
    # Fields of other parts of the server (coins, items) are kept as they are.
    entry = dict(e)
    for field in _TEXTS:
        if field in e:
            if not isinstance(e[field], str):
                raise ValueError("account %r: %s is not a text" % (name, field))
            entry[field] = e[field]
    for field in _NAME_LISTS:
        names = e.get(field, [])
        if not isinstance(names, list) or not all(isinstance(n, str) for n in names):
            raise ValueError("account %r: %s is not a list of names" % (name, field))
        entry.pop(field, None)
        if names:
            entry[field] = list(dict.fromkeys(names))
    matches = e.get("matches", [])
    if not isinstance(matches, list):
        raise ValueError("account %r: matches is not a list" % name)
    entry.pop("matches", None)
    if matches:
        entry["matches"] = [_match(name, m) for m in matches]
    return entry


_SCHEMA = """
CREATE TABLE IF NOT EXISTS accounts (name TEXT PRIMARY KEY, key TEXT NOT NULL, hash TEXT NOT NULL,
    location TEXT, comment TEXT, picture TEXT, coins INTEGER, other TEXT NOT NULL DEFAULT '{}', id INTEGER);
CREATE TABLE IF NOT EXISTS counters (name TEXT PRIMARY KEY, value INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS items (name TEXT NOT NULL, item TEXT NOT NULL, state TEXT NOT NULL,
    PRIMARY KEY (name, item));
CREATE TABLE IF NOT EXISTS relations (name TEXT NOT NULL, kind TEXT NOT NULL, other TEXT NOT NULL,
    PRIMARY KEY (name, kind, other));
CREATE TABLE IF NOT EXISTS matches (name TEXT NOT NULL, opponent TEXT NOT NULL, result INTEGER NOT NULL,
    points INTEGER NOT NULL, time NUMERIC NOT NULL);
CREATE INDEX IF NOT EXISTS matches_by_name ON matches (name);
"""
_COLUMNS = ("key", "hash") + _TEXTS
_ROW = "INSERT OR REPLACE INTO accounts (name, key, hash, location, comment, picture, coins, other, id) " \
       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"
_NEXT_ID = "INSERT OR REPLACE INTO counters VALUES ('next_user_id', ?)"
FIRST_USER_ID = 1001
BUSY_TIMEOUT = 5.0   # seconds a change waits for a lock another process holds before it is refused
# The writer asks for the lock again this often: SQLite's own busy wait adds up the sleeps it
# meant to take, which a loaded machine stretches far past the deadline.
LOCK_POLL = 0.02


def database_path(path):
    """The database of --accounts FILE: FILE itself, or for an older server's JSON store its
    name ending in .sqlite3 instead (the JSON is read once, when that database is made)."""
    return path[:-len(".json")] + ".sqlite3" if path.endswith(".json") else path


def _json_source(path):
    if path.endswith(".json"):
        return path
    return os.path.join(os.path.dirname(os.path.abspath(path)), "accounts.json")


def _wallet(entry):
    """The shop's {"coins", "items"} of an entry when it is well formed, else None (the shop
    gives such an account a new wallet anyway)."""
    wallet = entry.get("shop")
    if not isinstance(wallet, dict) or not isinstance(wallet.get("coins"), int) \
            or not isinstance(wallet.get("items"), dict):
        return None
    return wallet


def _own_only(path):
    """The store and its journal files hold the hashes: readable by their owner only, also
    when an older server left them open to all. Only others' access goes; the owner's stays
    as he set it."""
    for name in (path, path + "-wal", path + "-shm"):
        if os.path.exists(name):
            mode = stat.S_IMODE(os.stat(name).st_mode)
            if mode & 0o077:
                os.chmod(name, mode & 0o700)


def _owner_may(path, bits):
    """Whether the mode its owner set lets its owner do this, and this process too. Decided
    from the mode bits as well as access(2): root passes access(2) whatever the mode says."""
    mode = os.stat(path).st_mode
    access = (os.R_OK if bits & stat.S_IRUSR else 0) | (os.W_OK if bits & stat.S_IWUSR else 0) | \
        (os.X_OK if bits & stat.S_IXUSR else 0)
    return mode & bits == bits and os.access(path, access)


def _not_writable(db_path):
    """Why the store cannot be written as its owner left it, or None. Checked before anything
    changes: a store made read-only stays so, mode and bytes."""
    for name in (db_path, db_path + "-wal", db_path + "-shm"):
        if os.path.exists(name) and not _owner_may(name, stat.S_IRUSR | stat.S_IWUSR):
            return "%s is read-only (mode %04o)" % (name, stat.S_IMODE(os.stat(name).st_mode))
    # The journal files and a new store are made beside it.
    folder = os.path.dirname(os.path.abspath(db_path))
    if not _owner_may(folder, stat.S_IWUSR | stat.S_IXUSR):
        return "its folder %s is read-only (mode %04o)" % (folder, stat.S_IMODE(os.stat(folder).st_mode))
    return None


# SQLite's text of each error this server tells apart: Python names the error only from 3.11 on.
_ERROR_TEXTS = {"SQLITE_BUSY": "database is locked", "SQLITE_FULL": "database or disk is full"}


def _is_error(err, name):
    """Whether err is SQLite's error of that name (its extended kinds included)."""
    given = getattr(err, "sqlite_errorname", None)
    if given is not None:
        return given.startswith(name)
    return str(err).startswith(_ERROR_TEXTS[name])


def _write_failure(err):
    if _is_error(err, "SQLITE_FULL"):
        return "disk full (%s)" % err
    return str(err)


def _connect(path):
    db = sqlite3.connect(path, isolation_level=None, timeout=BUSY_TIMEOUT)
    try:
        db.execute("PRAGMA journal_mode=WAL")
        db.execute("PRAGMA synchronous=NORMAL")
        db.executescript(_SCHEMA)
    except BaseException:
        db.close()
        raise
    return db


def _begin(db, deadline):
    """Takes the write lock, waiting for another process's lock until deadline (time.monotonic()),
    by the clock; None: one try."""
    while True:
        try:
            db.execute("BEGIN IMMEDIATE")
            return
        except sqlite3.OperationalError as err:
            left = -1.0 if deadline is None else deadline - time.monotonic()
            if not _is_error(err, "SQLITE_BUSY") or left <= 0:
                raise
            time.sleep(min(LOCK_POLL, left))


def _commit(db, write, deadline=None):
    """One transaction; a failure leaves the database as it was and raises StoreWriteError.
    deadline: see _begin (one try waits as long as the connection's own busy timeout)."""
    try:
        _begin(db, deadline)
        try:
            write(db)
            db.execute("COMMIT")
        except BaseException:
            # SQLite may have rolled back already (a full disk does): its error is the one to tell.
            if db.in_transaction:
                try:
                    db.execute("ROLLBACK")
                except sqlite3.Error:
                    pass
            raise
    except sqlite3.Error as err:
        raise StoreWriteError(_write_failure(err)) from None


class _Change:
    """A change handed to the writer thread, with the time it must be answered by (None:
    nobody waits for it) and, once done, its failure (None: written or given up)."""
    __slots__ = ("write", "committed", "deadline", "begun", "given_up", "error")

    def __init__(self, write, committed, deadline):
        self.write = write
        self.committed = committed
        self.deadline = deadline
        self.begun = False
        self.given_up = False
        self.error = None


class _Writer:
    """The thread that writes the changes while the server serves, on a connection of its own
    (opened and used there only, closed once the thread has ended), one change after the other.

    A change somebody waits for is answered by its deadline, whatever waits before it: one
    whose deadline passes before its turn is given up unbegun, one that has begun waits for
    another process's lock only until its deadline. A change nobody waits for (a match result,
    tried again later) does not wait for such a lock at all, so it never holds up the others.
    report(error) is told the failure of a change whose caller stopped waiting for it, or had
    not read it when the writer closed."""

    def __init__(self, path, report):
        self._report = report
        self._pool = concurrent.futures.ThreadPoolExecutor(max_workers=1, thread_name_prefix="store")
        self._db = None
        self._turns = threading.Lock()   # guards the changes' state and the count below
        self._outstanding = 0            # changes given to the thread and not done with
        self._unread = set()             # changes whose outcome nobody has taken yet (event loop only)
        self._pool.submit(self._open, path).result()

    def _open(self, path):
        # No busy wait of SQLite's own: _begin waits by the clock.
        self._db = sqlite3.connect(path, isolation_level=None, timeout=0, check_same_thread=False)
        self._db.execute("PRAGMA synchronous=NORMAL")

    async def write(self, write, committed=None, deadline=None):
        """deadline: the time.monotonic() by which the change is in or refused (raises
        StoreWriteError); None for a change nobody waits for."""
        change = _Change(write, committed, deadline)
        with self._turns:
            idle = self._outstanding == 0
            self._outstanding += 1
        # The job keeps its failure on the change and never raises: its future never holds an
        # exception for asyncio to find unread when the loop ends before anybody looks.
        done = asyncio.wrap_future(self._pool.submit(self._job, change))
        self._unread.add(change)
        # asyncio.wait neither cancels the change nor takes its outcome: a caller stopped
        # meanwhile (a stop cancels the tries of match results) leaves the change to run, so
        # that what it wrote in memory already is stored and the writer's count stays true.
        try:
            # With nothing before it, a change begins at once and keeps to its deadline itself.
            if deadline is not None and not idle:
                await asyncio.wait([done], timeout=deadline - time.monotonic())
                if not done.done():
                    with self._turns:
                        change.given_up = not change.begun
                    if change.given_up:
                        self._unread.discard(change)
                        raise StoreWriteError("not taken within %.1f s: the store is busy" % BUSY_TIMEOUT)
            await asyncio.wait([done])
        except asyncio.CancelledError:
            # Nobody reads its outcome now: a failure is told once the change is done.
            done.add_done_callback(lambda _done: self._tell(change))
            raise
        self._unread.discard(change)
        if change.error is not None:
            raise change.error

    def _tell(self, change):
        """Reports the failure of a change done that nobody has read (once)."""
        if change in self._unread:
            self._unread.discard(change)
            if change.error is not None:
                self._report(change.error)

    def _job(self, change):
        try:
            with self._turns:
                if change.given_up:
                    return
                change.begun = True
            # One try for a change nobody waits for; the others until their deadline.
            _commit(self._db, change.write, change.deadline)
            if change.committed is not None:
                change.committed()
        except Exception as err:   # read by its caller, or told
            change.error = err
        finally:
            with self._turns:
                self._outstanding -= 1

    def close(self):
        # Every change handed over is written first: each keeps to its own deadline.
        self._pool.shutdown(wait=True)
        self._db.close()
        # Done now, whoever waited: what nobody took is told, also when the loop ends before
        # a cancelled caller's callback could run.
        for change in list(self._unread):
            self._tell(change)


def _give_ids(db, first_id):
    """Gives every account without a user id (all of them in a store of an older server, which
    handed out ids per run) the next id, in the order of their rows, in one transaction."""
    db.execute("BEGIN IMMEDIATE")
    try:
        if "id" not in [row[1] for row in db.execute("PRAGMA table_info(accounts)")]:
            db.execute("ALTER TABLE accounts ADD COLUMN id INTEGER")
        db.execute("CREATE UNIQUE INDEX IF NOT EXISTS accounts_by_id ON accounts (id)")
        stored = db.execute("SELECT value FROM counters WHERE name = 'next_user_id'").fetchone()
        highest = db.execute("SELECT MAX(id) FROM accounts").fetchone()[0]
        next_id = max(first_id, stored[0] if stored else first_id, (highest or 0) + 1)
        missing = [row[0] for row in db.execute("SELECT rowid FROM accounts WHERE id IS NULL ORDER BY rowid")]
        for rowid in missing:
            db.execute("UPDATE accounts SET id = ? WHERE rowid = ?", (next_id, rowid))
            next_id += 1
        if missing or not stored:
            db.execute(_NEXT_ID, (next_id,))
        db.execute("COMMIT")
    except BaseException:
        if db.in_transaction:
            db.execute("ROLLBACK")
        raise


def _read_json(source):
    """An older server's JSON store, checked whole."""
    try:
        with open(source, "r", encoding="utf-8") as f:
            accounts = json.load(f)["accounts"]
        return {name: _entry(name, e) for name, e in accounts.items()}
    except (KeyError, AttributeError) as err:
        raise ValueError("%s: %s" % (source, err)) from None
    except RecursionError:
        raise ValueError("%s: nested too deeply" % source) from None


class PendingWrite:
    """A change that stands in memory already and is written once the store takes it."""

    @staticmethod
    async def store_all(store, pending, since):
        """Writes those of pending not stored yet in one transaction, waiting for another
        process's lock until BUSY_TIMEOUT after since; the tries already handed to the writer
        run before it. Returns how many stay unstored."""
        taken = []

        def write(db):
            taken[:] = [change for change in pending if not change.stored]
            for change in taken:
                change._write(db)

        def committed():
            for change in taken:
                change.stored = True
        if pending:
            try:
                await store._change(write, committed, since=since)
            except OSError:
                pass
        return sum(not change.stored for change in pending)

    def __init__(self, store, write):
        self.stored = False
        self._store = store
        self._write = write

    async def attempt(self):
        """Raises StoreWriteError when the store does not take it now."""
        await self._store._change(self._write, self._committed, background=True)

    def _committed(self):
        self.stored = True


class AccountStore:
    def __init__(self, path=None, first_id=FIRST_USER_ID, report=None):
        """report(error): told the failure of a write whose caller stopped waiting for it."""
        self.path = path
        self._report = report or (lambda error: None)
        self.accounts = {}
        self.ids = {}        # name -> its user id, for good
        self._names = {}     # user id -> name
        self._next_id = first_id
        self._first_id = first_id
        self._db = None
        self._writer = None
        self._emails = None  # address (lower case) -> name, made at the first look-up
        self.touched = set()  # accounts made, taken back, or whose follows or matches changed, since
        # the lists' standings last looked
        if not path:
            return
        try:
            problem = _not_writable(database_path(path))
        except OSError as err:
            raise StoreError("account store %s is unreadable: %s" % (path, err)) from None
        if problem is not None:
            raise StoreError("account store %s cannot be written: %s; it is left as it is" % (path, problem))
        try:
            self._open(database_path(path))
        except (sqlite3.Error, OSError, ValueError, TypeError) as err:
            self.close()   # a store refused at its load keeps no connection open
            raise StoreError("account store %s is unreadable: %s" % (path, err)) from None

    def _open(self, db_path):
        fresh = db_path + ".migrating"
        if os.path.exists(fresh):   # left by a start that was killed; never the store
            os.unlink(fresh)
        if not os.path.exists(db_path):
            source = _json_source(self.path)
            self._create(fresh, _read_json(source) if os.path.exists(source) else {})
            os.replace(fresh, db_path)
        elif os.path.getsize(db_path) == 0:
            # This server never leaves an empty file at the store's name (it makes the store
            # beside it first): an empty one is damaged, and taking it as new would lose every account.
            raise ValueError("the database file is empty (0 bytes)")
        _own_only(db_path)
        self._db = _connect(db_path)
        _give_ids(self._db, self._first_id)
        self._load()

    def _create(self, fresh, entries):
        """A new database, with the accounts of an older server's JSON store; it takes the
        store's place only once complete."""
        db = _connect(fresh)
        try:
            db.execute("PRAGMA journal_mode=DELETE")
            db.execute("BEGIN")
            # An older JSON store holds no ids: its accounts take them in the file's order.
            for number, name in enumerate(entries):
                self._write_account(db, name, entries[name], self._first_id + number)
                for field in _NAME_LISTS:
                    db.executemany("INSERT INTO relations VALUES (?, ?, ?)",
                                   [(name, field, other) for other in entries[name].get(field, [])])
                db.executemany("INSERT INTO matches VALUES (?, ?, ?, ?, ?)",
                               [(name, m["opponent"], m["result"], m["points"], m["time"])
                                for m in entries[name].get("matches", [])])
            db.execute(_NEXT_ID, (self._first_id + len(entries),))
            db.execute("COMMIT")
        except BaseException as err:
            db.close()
            os.unlink(fresh)
            if isinstance(err, OverflowError):
                raise ValueError("a number in the accounts does not fit 64 bits") from None
            raise
        db.close()

    def _load(self):
        db = self._db
        for name, key, hashed, location, comment, picture, coins, other, user_id in db.execute(
                "SELECT name, key, hash, location, comment, picture, coins, other, id FROM accounts"):
            self._set_id(name, user_id)
            entry = json.loads(other)
            entry.update(key=key, hash=hashed)
            for field, value in zip(_TEXTS, (location, comment, picture)):
                if value is not None:
                    entry[field] = value
            if coins is not None:
                entry["shop"] = {"coins": coins, "items": {}}
            self.accounts[name] = entry
        stored = db.execute("SELECT value FROM counters WHERE name = 'next_user_id'").fetchone()[0]
        self._next_id = max(self._next_id, stored)
        for name, item, state in db.execute("SELECT name, item, state FROM items"):
            if name in self.accounts and "shop" in self.accounts[name]:
                self.accounts[name]["shop"]["items"][item] = json.loads(state)
        for name, kind, other in db.execute("SELECT name, kind, other FROM relations ORDER BY rowid"):
            if name in self.accounts:
                self.accounts[name].setdefault(kind, []).append(other)
        for name, opponent, result, points, stamp in db.execute(
                "SELECT name, opponent, result, points, time FROM matches ORDER BY rowid"):
            if name in self.accounts:
                self.accounts[name].setdefault("matches", []).append(
                    {"opponent": opponent, "result": result, "points": points, "time": stamp})

    @staticmethod
    def _write_account(db, name, entry, user_id):
        """The account's row and its items, as they stand in memory."""
        other = {k: v for k, v in entry.items()
                 if k not in _COLUMNS + _NAME_LISTS + ("matches",) and not (k == "shop" and _wallet(entry))}
        wallet = _wallet(entry)
        db.execute(_ROW, (name,) + tuple(entry.get(c) for c in _COLUMNS)
                   + (wallet["coins"] if wallet else None, json.dumps(other, sort_keys=True), user_id))
        db.execute("DELETE FROM items WHERE name = ?", (name,))
        if wallet:
            db.executemany("INSERT INTO items VALUES (?, ?, ?)",
                           [(name, str(item), json.dumps(state, sort_keys=True))
                            for item, state in wallet["items"].items()])

    async def _change(self, write, committed=None, since=None, background=False):
        """One transaction, by the writer thread once serving; a failure leaves the database as
        it was and raises StoreWriteError. committed() is called (in that thread) once it is in.
        since: the time.monotonic() of the request (None: now), which the change is answered
        within BUSY_TIMEOUT of; background: nobody waits for it, it is tried without waiting."""
        if self._writer is not None:
            asked = time.monotonic() if since is None else since
            await self._writer.write(write, committed, None if background else asked + BUSY_TIMEOUT)
        elif self._db is not None:
            _commit(self._db, write)
            if committed is not None:
                committed()

    def start_writer(self):
        """From now on changes are written off the event loop; the start's connection, which
        only read, is closed."""
        if self._db is None:
            return
        self._writer = _Writer(database_path(self.path), self._report)
        self._db.close()
        self._db = None

    async def save(self, *names, since=None):
        """Writes these accounts' rows (profile, coins and items) as they stand in memory."""
        stored = [n for n in names if n in self.accounts]
        # What is written is taken now: memory may change while the write waits.
        rows = [(name, copy.deepcopy({k: v for k, v in self.accounts[name].items()
                                      if k not in _NAME_LISTS + ("matches",)}), self.ids[name])
                for name in stored]

        def write(db):
            for name, entry, user_id in rows:
                self._write_account(db, name, entry, user_id)
        if stored:
            await self._change(write, since=since)

    def close(self):
        if self._writer is not None:
            self._writer.close()
            self._writer = None
        if self._db is not None:
            self._db.close()
            self._db = None

    def get(self, name):
        return self.accounts.get(name)

    # ---- user ids ----

    def _set_id(self, name, user_id):
        self.ids[name] = user_id
        self._names[user_id] = name
        self._next_id = max(self._next_id, user_id + 1)

    def name_of(self, user_id):
        """The stored account of that user id, or None."""
        return self._names.get(user_id)

    def new_id(self):
        """A user id for a login that is not kept (a guest, an external account): from the
        counter of the stored ids, so never one of theirs; kept in memory only, so that a
        guest's login writes nothing."""
        user_id = self._next_id
        self._next_id += 1
        return user_id

    def by_email(self, address):
        """The account registered with the address (compared without case), or None."""
        wanted = (whole_text(address) or "").lower()
        if not wanted:
            return None
        if self._emails is None:
            self._emails = {e["email"].lower(): n for n, e in self.accounts.items() if e.get("email")}
        name = self._emails.get(wanted)
        entry = self.accounts.get(name) if name else None
        # An account dropped after a failed write may still stand in the index.
        return name if entry is not None and entry.get("email", "").lower() == wanted else None

    def login_name(self, user):
        """The account a login names: a name, or for a text with "@" the account of that
        address (None when there is none)."""
        return self.by_email(user) if "@" in user else user

    def key_for(self, user):
        entry = self.accounts.get(self.login_name(user))
        return entry["key"] if entry else None

    def check(self, user, given_hash):
        """A hash that is not 32 hex digits is a wrong password, whatever the account."""
        entry = self.accounts.get(self.login_name(user))
        given = given_hash.lower()
        return entry is not None and valid_hash(given) and secrets.compare_digest(entry["hash"], given)

    async def create(self, name, key, hashed, email="", since=None):
        """A new account takes the next user id, written with the counter in one transaction;
        a reseeded password keeps the rest of the entry (id, profile, coins, items)."""
        new = name not in self.accounts
        entry = self.accounts.setdefault(name, {})
        self.touched.add(name)
        entry.update(key=key, hash=hashed.lower())
        if email:
            entry["email"] = email
            if self._emails is not None:
                self._emails[email.lower()] = name
        if not new:
            await self.save(name, since=since)
            return
        self._set_id(name, self.new_id())
        user_id, next_id, row = self.ids[name], self._next_id, dict(entry)
        try:
            await self._change(lambda db: (self._write_account(db, name, row, user_id),
                                           db.execute(_NEXT_ID, (next_id,))), since=since)
        except BaseException:
            del self.accounts[name]
            del self._names[self.ids.pop(name)]
            self.touched.add(name)
            raise

    # ---- profile ----

    def names(self, name, field):
        """The accounts this one follows ("follows") or blocks ("blocks")."""
        entry = self.accounts.get(name)
        return entry.get(field, []) if entry else []

    async def set_relation(self, name, field, other, on, since=None):
        """Adds or removes other in the list, in memory once the store took it; True when the
        store changed."""
        entry = self.accounts.get(name)
        if entry is None or (other in entry.get(field, [])) == on:
            return False
        if on:
            await self._change(lambda db: db.execute("INSERT OR IGNORE INTO relations VALUES (?, ?, ?)",
                                                     (name, field, other)), since=since)
            if other not in entry.setdefault(field, []):
                entry[field].append(other)
                self.touched.add(name)
        else:
            await self._change(lambda db: db.execute(
                "DELETE FROM relations WHERE name = ? AND kind = ? AND other = ?", (name, field, other)),
                since=since)
            if other in entry.get(field, []):
                entry[field].remove(other)
                self.touched.add(name)
        return True

    def picture(self, name, limit=256 * 1024):
        """The bytes of the account's own PNG, or None (none set, unreadable, too large or not
        a PNG: the generated picture is used instead)."""
        entry = self.accounts.get(name)
        if not entry or not entry.get("picture"):
            return None
        base = os.path.dirname(os.path.abspath(self.path)) if self.path else os.getcwd()
        try:
            with open(os.path.join(base, entry["picture"]), "rb") as f:
                data = f.read(limit + 1)
        except OSError:
            return None
        return data if len(data) <= limit and data.startswith(b"\x89PNG\r\n\x1a\n") else None

    def matches(self, name):
        entry = self.accounts.get(name)
        return entry.get("matches", []) if entry else []

    def add_match(self, name, opponent, result, stamp):
        """Records a finished match in memory at once and returns the write that stores it
        (None for no stored account): the result stands even while the store cannot take it."""
        entry = self.accounts.get(name)
        if entry is None:
            return None
        match = _match(name, {"opponent": opponent, "result": result, "time": stamp})
        entry.setdefault("matches", []).append(match)
        self.touched.add(name)
        row = (name, opponent, result, match["points"], stamp)
        return PendingWrite(self, lambda db: db.execute("INSERT INTO matches VALUES (?, ?, ?, ?, ?)", row))

    async def seed(self, name, password):
        """Makes the account exist with this plain password, keeping an existing key."""
        entry = self.accounts.get(name)
        key = entry["key"] if entry else new_key()
        hashed = password_hash(password, key)
        if entry and entry["hash"] == hashed:
            return
        await self.create(name, key, hashed)

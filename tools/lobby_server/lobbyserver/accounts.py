"""Accounts: name, a stable key (the salt GetRandomKey hands out) and md5(password + key),
and the profile the player lists show: location, comment, an optional picture (a PNG path,
relative to the store's folder), the accounts followed and blocked, and the recorded
matches ({"opponent", "result" 1 won / -1 lost / 0 tie, "points", "time"}, oldest first).

The key never changes once issued, because the client reuses a stored hash (remembered
logins, the login right after registration) without asking for a new key. The store is a
JSON file replaced atomically, so a crash mid-write leaves the previous version intact.
"""

import glob
import hashlib
import json
import os
import re
import secrets
import string
import tempfile

_KEY_ALPHABET = string.ascii_letters + string.digits
_NAME = re.compile(r"^[A-Za-z0-9_-]{4,15}$")
_HASH = re.compile(r"^[0-9a-f]{32}$")


def password_hash(password, key):
    """MD5 of the text taken one byte per 16-bit unit (its low byte), as lowercase hex."""
    units = (password + key).encode("utf-16-le", "surrogatepass")
    return hashlib.md5(units[0::2]).hexdigest()


def new_key():
    return "".join(secrets.choice(_KEY_ALPHABET) for _ in range(8))


def valid_name(name):
    return bool(_NAME.match(name)) and not name.lower().startswith("guest")


def valid_hash(text):
    return bool(_HASH.match(text))


class StoreError(Exception):
    pass


_TEXTS = ("location", "comment", "picture", "email")
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


class AccountStore:
    def __init__(self, path=None):
        self.path = path
        self.accounts = {}
        if path and os.path.exists(path):
            self._load()
        if path:
            # Left behind by a writer that was killed before its rename; never the store.
            for stale in glob.glob(glob.escape(self._temp_prefix()) + "*.tmp"):
                try:
                    os.unlink(stale)
                except OSError:
                    pass

    def _temp_prefix(self):
        directory, name = os.path.split(os.path.abspath(self.path))
        return os.path.join(directory, ".%s-" % name)

    def _load(self):
        try:
            with open(self.path, "r", encoding="utf-8") as f:
                data = json.load(f)
            accounts = data["accounts"]
            self.accounts = {name: _entry(name, e) for name, e in accounts.items()}
        except (OSError, ValueError, KeyError, TypeError, AttributeError) as err:
            raise StoreError("account store %s is unreadable: %s" % (self.path, err)) from None

    def save(self):
        if not self.path:
            return
        directory = os.path.dirname(os.path.abspath(self.path))
        fd, temp = tempfile.mkstemp(prefix=os.path.basename(self._temp_prefix()), suffix=".tmp",
                                    dir=directory)
        try:
            with os.fdopen(fd, "w", encoding="utf-8") as f:
                json.dump({"version": 1, "accounts": self.accounts}, f, indent=1, sort_keys=True)
                f.flush()
                os.fsync(f.fileno())
            os.replace(temp, self.path)
        except BaseException:
            try:
                os.unlink(temp)
            except OSError:
                pass
            raise
        try:
            dir_fd = os.open(directory, os.O_RDONLY)
        except OSError:
            return
        try:
            os.fsync(dir_fd)
        except OSError:
            pass
        finally:
            os.close(dir_fd)

    def get(self, name):
        return self.accounts.get(name)

    def by_email(self, address):
        """The account registered with the address (compared without case), or None."""
        wanted = address.lower()
        for name, entry in self.accounts.items():
            if entry.get("email", "").lower() == wanted:
                return name
        return None

    def login_name(self, user):
        """The account a login names: a name, or for a text with "@" the account of that
        address (None when there is none)."""
        return self.by_email(user) if "@" in user else user

    def key_for(self, user):
        entry = self.accounts.get(self.login_name(user))
        return entry["key"] if entry else None

    def check(self, user, given_hash):
        entry = self.accounts.get(self.login_name(user))
        return entry is not None and secrets.compare_digest(entry["hash"], given_hash.lower())

    def create(self, name, key, hashed, email=""):
        # A reseeded password keeps the rest of the entry (profile, coins, items).
        entry = self.accounts.setdefault(name, {})
        entry.update(key=key, hash=hashed.lower())
        if email:
            entry["email"] = email
        self.save()

    # ---- profile ----

    def names(self, name, field):
        """The accounts this one follows ("follows") or blocks ("blocks")."""
        entry = self.accounts.get(name)
        return entry.get(field, []) if entry else []

    def set_relation(self, name, field, other, on):
        """Adds or removes other in the list; True when the store changed."""
        entry = self.accounts.get(name)
        if entry is None or (other in entry.get(field, [])) == on:
            return False
        names = entry.setdefault(field, [])
        if on:
            names.append(other)
        else:
            names.remove(other)
        self.save()
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

    def record_match(self, name, opponent, result, stamp):
        entry = self.accounts.get(name)
        if entry is None:
            return
        entry.setdefault("matches", []).append(_match(name, {"opponent": opponent, "result": result,
                                                             "time": stamp}))
        self.save()

    def seed(self, name, password):
        """Makes the account exist with this plain password, keeping an existing key."""
        entry = self.accounts.get(name)
        key = entry["key"] if entry else new_key()
        hashed = password_hash(password, key)
        if entry and entry["hash"] == hashed:
            return
        self.create(name, key, hashed)

"""Accounts: name, a stable key (the salt GetRandomKey hands out) and md5(password + key).

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
            for name, entry in accounts.items():
                if not isinstance(entry.get("key"), str) or not valid_hash(entry.get("hash", "")):
                    raise ValueError("account %r is incomplete" % name)
        except (OSError, ValueError, KeyError, TypeError, AttributeError) as err:
            raise StoreError("account store %s is unreadable: %s" % (self.path, err)) from None
        self.accounts = {name: dict(e) for name, e in accounts.items()}

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

    def key_for(self, name):
        entry = self.accounts.get(name)
        return entry["key"] if entry else None

    def check(self, name, given_hash):
        entry = self.accounts.get(name)
        return entry is not None and secrets.compare_digest(entry["hash"], given_hash.lower())

    def create(self, name, key, hashed):
        # A reseeded password keeps the rest of the entry (coins, items).
        self.accounts.setdefault(name, {}).update(key=key, hash=hashed.lower())
        self.save()

    def seed(self, name, password):
        """Makes the account exist with this plain password, keeping an existing key."""
        entry = self.accounts.get(name)
        key = entry["key"] if entry else new_key()
        hashed = password_hash(password, key)
        if entry and entry["hash"] == hashed:
            return
        self.create(name, key, hashed)

"""The account store survives restarts and a kill in the middle of a write."""

import asyncio
import errno
import gc
import io
import json
import os
import random
import sqlite3
import subprocess
import sys
import threading
import time
import unittest
from concurrent.futures import ThreadPoolExecutor
from unittest import mock

from lobbyserver.accounts import (AccountStore, PendingWrite, StoreError, StoreWriteError, _commit, database_path,
                                  password_hash)
from lobbyserver.app import Config, Server
from lobbyserver.eventlog import RotatingFile
from tests import rawclient as rc
from tests.patience import PATIENCE
from tests.serverproc import ServerProcess, StoreCase, stored_accounts
from tests.test_players import BUDDY_ACK, PLAYER_IMAGE, PLAYER_LIST, items_of, list_players

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
KILLS = 20          # servers killed in the middle of registrations, each at a point of its own
KILL_LANES = 4      # stores those kills go to side by side

# The store as servers wrote it before accounts kept their user id.
OLD_SCHEMA = """
CREATE TABLE accounts (name TEXT PRIMARY KEY, key TEXT NOT NULL, hash TEXT NOT NULL,
    location TEXT, comment TEXT, picture TEXT, coins INTEGER, other TEXT NOT NULL DEFAULT '{}');
CREATE TABLE relations (name TEXT NOT NULL, kind TEXT NOT NULL, other TEXT NOT NULL,
    PRIMARY KEY (name, kind, other));
"""


class OlderPython:
    """A connection whose errors do not name SQLite's error, as before Python 3.11: only their
    text tells which it is."""

    def __init__(self, db):
        self._db = db

    def execute(self, *args):
        try:
            return self._db.execute(*args)
        except sqlite3.OperationalError as err:
            raise sqlite3.OperationalError(str(err)) from None

    def __getattr__(self, name):
        return getattr(self._db, name)


class Persistence(StoreCase, unittest.TestCase):
    def test_the_standings_are_made_before_the_server_listens_and_take_in_every_later_change(self):
        # Made by the first list or challenge instead, their walk over a large store held every
        # other client meanwhile.
        server = Server(Config(accounts=self.path, port=0, game_port=0), io.StringIO())

        async def made_at_start():
            await server.start()
            made = "_standings_cache" in vars(server.lobby)
            # Two accounts made between two looks: the next look counts both.
            for i, name in enumerate(("alice", "bob")):
                await server.accounts.create(name, "k", "%032x" % i)
            counted = server.lobby.standings().higher(-1)
            await server.stop()
            return made, counted
        self.assertEqual(asyncio.run(made_at_start()), (True, 2))

    def test_registered_and_seeded_accounts_survive_a_restart(self):
        first = self.start("--account", "alice:secret")
        client = self.connect(first)
        client.send(rc.message(107, rc.text("bob_42")))
        key = client.expect(108).text(1)
        hashed = rc.md5_hash("pw", key)
        client.send(rc.message(109, rc.text("bob_42"), rc.text(""), rc.text(hashed), rc.integer(0),
                               rc.text(""), rc.text("")))
        self.assertEqual(client.expect(110).int(0), 0)
        client.close()
        self.assertEqual(first.stop(), 0)

        second = self.start()
        client = self.connect(second)
        client.send(rc.login("bob_42", hashed))
        self.assertGreater(client.expect(rc.LOGIN_ACK_ID).int(0), 0)
        client.send(rc.get_random_key("alice"))
        alice_key = client.expect(rc.RANDOM_KEY_ID).text(0)
        other = self.connect(second)
        other.send(rc.login("alice", rc.md5_hash("secret", alice_key)))
        self.assertGreater(other.expect(rc.LOGIN_ACK_ID).int(0), 0)

    def register(self, client, name, password):
        """ConfirmUserName then ConfirmEmail; the hash, once the server acknowledged it."""
        client.send(rc.message(107, rc.text(name)))
        hashed = rc.md5_hash(password, client.expect(108).text(1))
        client.send(rc.message(109, rc.text(name), rc.text(""), rc.text(hashed), rc.integer(0),
                               rc.text(""), rc.text("")))
        return hashed, client

    def login(self, server, name, password="pw"):
        """A logged-in client of the account and its user id."""
        client = self.connect(server)
        client.send(rc.get_random_key(name))
        client.send(rc.login(name, rc.md5_hash(password, client.expect(rc.RANDOM_KEY_ID).text(0))))
        return client, client.expect(rc.LOGIN_ACK_ID).int(0)

    @staticmethod
    def everyone(client):
        """{name: (user id, followers, picture)} of the list of every player."""
        client.send(list_players(0, 0, 50))
        rows = items_of(client.expect(PLAYER_LIST))
        pictures = {}
        for _ in rows:
            image = client.expect(PLAYER_IMAGE)
            pictures[image.int(0)] = image.fields()[2]
        return {name: (user_id, stats[6], pictures[user_id]) for user_id, name, _flags, stats in rows}

    def test_ids_pictures_and_follows_outlive_a_restart_and_no_guest_takes_a_stored_id(self):
        first = self.start("--account", "alpha1:pw")
        _hashed, client = self.register(self.connect(first), "bravo2", "pw")
        self.assertEqual(client.expect(110).int(0), 0)
        alpha, alpha_id = self.login(first, "alpha1")
        bravo, bravo_id = self.login(first, "bravo2")
        bravo.send(rc.message(21, rc.integer(alpha_id), rc.integer(bravo_id), rc.integer(1), rc.integer(0),
                              rc.text("")))
        bravo.expect(BUDDY_ACK)
        before = self.everyone(alpha)
        self.assertEqual(first.stop(), 0)

        second = self.start()
        # A guest logs in first and the accounts in the other order: each keeps its own id.
        guest, guest_id, _name = rc.guest(second.lobby_port)
        self.addCleanup(guest.close)
        _bravo, bravo_again = self.login(second, "bravo2")
        alpha, alpha_again = self.login(second, "alpha1")
        self.assertEqual((alpha_again, bravo_again), (alpha_id, bravo_id))
        self.assertNotIn(guest_id, (alpha_id, bravo_id))
        after = self.everyone(alpha)
        self.assertEqual({n: after[n] for n in ("alpha1", "bravo2")}, {n: before[n] for n in ("alpha1", "bravo2")})
        self.assertEqual(after["alpha1"][1], 1, "bravo2 still follows alpha1")
        # A later registration takes an id nobody had.
        _hashed, client = self.register(self.connect(second), "charlie3", "pw")
        self.assertEqual(client.expect(110).int(0), 0)
        self.assertNotIn(self.login(second, "charlie3")[1], (alpha_id, bravo_id, guest_id))

    def test_a_follow_the_store_cannot_take_is_answered_as_not_made_and_is_not_kept(self):
        first = self.start("--account", "alpha1:pw", "--account", "bravo2:pw")
        alpha, alpha_id = self.login(first, "alpha1")
        bravo, bravo_id = self.login(first, "bravo2")

        def follow():
            bravo.send(rc.message(21, rc.integer(alpha_id), rc.integer(bravo_id), rc.integer(1), rc.integer(0),
                                  rc.text("")))
            return bravo.expect(BUDDY_ACK, 30).int(3)
        # Another process holds the store's write lock until the server gives up waiting for it.
        other = sqlite3.connect(os.path.join(self.dir, "accounts.sqlite3"), isolation_level=None)
        other.execute("BEGIN IMMEDIATE")
        refused = follow()
        other.execute("ROLLBACK")
        other.close()
        self.assertEqual(refused, 1, "acknowledged as still not followed")
        self.assertEqual(len(first.events("store_error")), 1)
        self.assertEqual(self.everyone(alpha)["alpha1"][1], 0)
        self.assertEqual(first.stop(), 0)
        second = self.start()
        alpha, _ = self.login(second, "alpha1")
        self.assertEqual(self.everyone(alpha)["alpha1"][1], 0)
        bravo, _ = self.login(second, "bravo2")
        self.assertEqual(follow(), 0)
        self.assertEqual(self.everyone(alpha)["alpha1"][1], 1)

    def test_an_older_database_keeps_every_account_and_numbers_them_in_row_order(self):
        database = os.path.join(self.dir, "accounts.sqlite3")
        db = sqlite3.connect(database)
        db.executescript(OLD_SCHEMA)
        names = ["zulu", "alpha", "mike"]
        db.executemany("INSERT INTO accounts (name, key, hash) VALUES (?, 'k', ?)",
                       [(name, password_hash("pw", "k")) for name in names])
        db.execute("INSERT INTO relations VALUES ('alpha', 'follows', 'zulu')")
        db.commit()
        db.close()
        server = self.start("--accounts", database)
        guest, guest_id, _name = rc.guest(server.lobby_port)
        self.addCleanup(guest.close)
        ids = {name: self.login(server, name)[1] for name in reversed(names)}
        self.assertEqual(ids, {"zulu": 1001, "alpha": 1002, "mike": 1003})
        self.assertEqual(guest_id, 1004)
        self.assertEqual(server.stop(), 0)
        store = AccountStore(database)
        store.close()
        self.assertEqual((store.ids, store.accounts["alpha"]["follows"]), (ids, ["zulu"]))

    def test_an_older_database_without_accounts_starts_and_numbers_from_the_first_id(self):
        database = os.path.join(self.dir, "accounts.sqlite3")
        db = sqlite3.connect(database)
        db.executescript(OLD_SCHEMA)
        db.close()
        server = self.start("--accounts", database)
        _hashed, client = self.register(self.connect(server), "alpha1", "pw")
        self.assertEqual(client.expect(110).int(0), 0)
        self.assertEqual(self.login(server, "alpha1")[1], 1001)
        self.assertEqual(server.stop(), 0)
        self.assertEqual(self.login(self.start("--accounts", database), "alpha1")[1], 1001)

    def test_no_acknowledged_registration_is_lost_to_kill_9(self):
        # The kills go to stores side by side: a start is most of a round's time, and one
        # store's rounds need not wait for another's.
        def kill_rounds(lane):
            rng = random.Random(64 + lane)
            folder = os.path.join(self.dir, "lane%d" % lane)
            os.mkdir(folder)
            args = ("--accounts", os.path.join(folder, "accounts.json"))
            acknowledged = {}
            for round_number in range(KILLS // KILL_LANES):
                server = ServerProcess(*args, workdir=folder)
                client = rc.connected(server.lobby_port)
                try:
                    for i in range(rng.randrange(6)):
                        name = "l%d_r%02d_%d" % (lane, round_number, i)
                        hashed, _ = self.register(client, name, "pw")
                        self.assertEqual(client.expect(110).int(0), 0)
                        acknowledged[name] = hashed
                    # The next registration is under way when the server dies.
                    name = "l%d_r%02d_x" % (lane, round_number)
                    if rng.random() < 0.5:
                        client.send(rc.message(107, rc.text(name)))
                    else:
                        self.register(client, name, "pw")
                finally:
                    server.kill()
                    server.stop()
                    client.close()
            server = ServerProcess(*args, workdir=folder)
            try:
                for name, hashed in acknowledged.items():
                    client = rc.connected(server.lobby_port)
                    client.send(rc.login(name, hashed))
                    logged_in = client.expect(rc.LOGIN_ACK_ID).int(0)
                    client.close()
                    self.assertGreater(logged_in, 0, name)
            finally:
                server.stop()
            return len(acknowledged)

        with ThreadPoolExecutor(KILL_LANES) as lanes:
            self.assertGreater(sum(lanes.map(kill_rounds, range(KILL_LANES))), 20)

    def test_an_older_json_store_is_read_once_into_the_database(self):
        alice = {"key": "k1", "hash": password_hash("pw", "k1"), "location": "Harbour",
                 "follows": ["bob"], "blocks": ["bob"], "custom": [1, 2],
                 "matches": [{"opponent": "bob", "result": 1, "time": 1700000000}],
                 "shop": {"coins": 40, "items": {"21": {"amount": 2, "enabled": 1}}}}
        bob = {"key": "k2", "hash": password_hash("x", "k2")}
        with open(self.path, "w", encoding="utf-8") as f:
            json.dump({"version": 1, "accounts": {"alice": alice, "bob": bob}}, f)
        database = os.path.join(self.dir, "accounts.sqlite3")
        server = self.start("--accounts", database)   # the JSON beside it is migrated
        client = self.connect(server)
        client.send(rc.login("alice", alice["hash"]))
        self.assertGreater(client.expect(rc.LOGIN_ACK_ID).int(0), 0)
        self.assertEqual(server.stop(), 0)
        with open(self.path, "w", encoding="utf-8") as f:
            json.dump({"version": 1, "accounts": {}}, f)   # read once: no longer looked at
        for path in (database, self.path):
            store = AccountStore(path)
            store.close()
            alice["matches"][0]["points"] = 3
            self.assertEqual(store.accounts, {"alice": alice, "bob": bob})
            self.assertEqual(store.ids, {"alice": 1001, "bob": 1002})   # in the file's order
        self.assertEqual(database_path(self.path), database)

    def test_the_log_moves_aside_at_its_size_and_keeps_three_older_parts(self):
        log = os.path.join(self.dir, "server.log")
        server = self.start("--log", log, "--log-max-bytes", "2000")
        for _ in range(30):
            client, _id, _name = rc.guest(server.lobby_port)
            client.close()
        server.stop()
        parts = sorted(f for f in os.listdir(self.dir) if f.startswith("server.log"))
        self.assertEqual(parts, ["server.log", "server.log.1", "server.log.2", "server.log.3"])
        for part in parts:
            with open(os.path.join(self.dir, part), encoding="utf-8") as f:
                text = f.read()
            self.assertLessEqual(len(text), 2000)
            self.assertTrue(all(json.loads(line)["event"] for line in text.splitlines()))

    def test_a_rotation_that_fails_at_any_step_keeps_every_part_and_each_one_closes_its_file(self):
        log = os.path.join(self.dir, "run.log")
        stream = RotatingFile(log, 100)
        self.addCleanup(stream.close)
        for n in range(6):
            stream.write(("%02d" % n) * 30 + "\n")   # one line per part: the current and three older
        parts = {}
        for name in os.listdir(self.dir):
            with open(os.path.join(self.dir, name)) as f:
                parts[name] = f.read()
        self.assertEqual(sorted(parts), ["run.log", "run.log.1", "run.log.2", "run.log.3"])
        real_replace = os.replace
        # Each step in turn fails (the last, the new file into place, included), for ten lines each.
        for step in range(5):
            moved = []

            def replace(source, target):
                moved.append(source)
                if len(moved) == step + 1:   # once per line: the moves back work
                    raise OSError(errno.EIO, "injected")
                real_replace(source, target)
            with mock.patch("os.replace", replace):
                for _ in range(10):
                    moved.clear()
                    stream.write("x" * 10 + "\n")
            with open(log) as f:
                current = f.read()
            self.assertEqual(sorted(os.listdir(self.dir)), sorted(parts), "step %d" % step)
            for name, text in parts.items():
                with open(os.path.join(self.dir, name)) as f:
                    self.assertEqual(f.read(), text + ("x" * 10 + "\n") * 10 * (step + 1) if name == "run.log"
                                     else text, "step %d: %s" % (step, name))
            self.assertTrue(current.endswith("x" * 10 + "\n"))
        # Rotations that work leave no descriptor behind.
        before = len(os.listdir("/proc/self/fd"))
        for n in range(50):
            stream.write("%03d" % n * 40 + "\n")
        self.assertEqual(len(os.listdir("/proc/self/fd")), before)

    def test_kill_during_writes_leaves_a_complete_store(self):
        writer = ("import sys; sys.path.insert(0, %r)\n"
                  "import asyncio\n"
                  "from lobbyserver.accounts import AccountStore\n"
                  "store = AccountStore(%r)\n"
                  "i = first = len(store.accounts) + 1\n"
                  "while True:\n"
                  "    asyncio.run(store.create('user%%05d' %% i, 'key%%d' %% i, '%%032x' %% i))\n"
                  "    if i == first:   # each kill comes after a write of this run\n"
                  "        print('go', flush=True)\n"
                  "    i += 1\n") % (ROOT, self.path)
        for delay in (0.05, 0.13, 0.21, 0.3):
            proc = subprocess.Popen([sys.executable, "-c", writer], stdout=subprocess.PIPE)
            proc.stdout.readline()
            time.sleep(delay)
            proc.kill()
            proc.wait(PATIENCE)
            proc.stdout.close()
            accounts = stored_accounts(self.path)
            numbers = sorted(int(name[4:]) for name in accounts)
            self.assertEqual(numbers, list(range(1, len(numbers) + 1)))   # one whole version
            for n in numbers:
                self.assertEqual(accounts["user%05d" % n], {"key": "key%d" % n, "hash": "%032x" % n})
        self.assertGreater(len(numbers), 0)
        server = self.start()
        self.assertEqual([f for f in os.listdir(self.dir) if f.endswith(".tmp")], [])
        client = self.connect(server)
        client.send(rc.login("user00001", "%032x" % 1))
        self.assertGreater(client.expect(rc.LOGIN_ACK_ID).int(0), 0)

    def test_unreadable_store_is_refused_and_kept(self):
        with open(self.path, "w") as f:
            f.write('{"accounts": {"x": ')
        with self.assertRaises(StoreError):
            AccountStore(self.path)
        proc = subprocess.run([sys.executable, os.path.join(ROOT, "server.py"), "--port", "0",
                               "--game-port", "0", "--accounts", self.path, "--log", os.devnull],
                              capture_output=True, timeout=PATIENCE)
        self.assertEqual(proc.returncode, 2)
        self.assertIn(b"unreadable", proc.stderr)
        with open(self.path) as f:
            self.assertEqual(f.read(), '{"accounts": {"x": ')
        # A database refused at its opening or its load keeps no connection open on it.
        for name, damage in (("garbage", None), ("no columns", "CREATE TABLE accounts (name TEXT)")):
            with self.subTest(name):
                database = os.path.join(self.dir, name + ".sqlite3")
                if damage is None:
                    with open(database, "wb") as f:
                        f.write(b"not a database" * 100)
                else:
                    db = sqlite3.connect(database)
                    db.execute(damage)
                    db.close()
                with self.assertRaises(StoreError) as refusal:
                    AccountStore(database)
                open_files = [os.path.realpath("/proc/self/fd/" + fd) for fd in os.listdir("/proc/self/fd")]
                self.assertNotIn(os.path.realpath(database), open_files, refusal.exception)

    def test_damaged_stores_stop_the_start_with_a_message_and_are_kept(self):
        def refused(path, contents, words):
            with open(path, "w", encoding="utf-8") as f:
                f.write(contents)
            proc = subprocess.run([sys.executable, os.path.join(ROOT, "server.py"), "--port", "0",
                                   "--game-port", "0", "--accounts", path, "--log", os.devnull],
                                  capture_output=True, timeout=PATIENCE)
            self.assertEqual(proc.returncode, 2, proc.stderr)
            self.assertNotIn(b"Traceback", proc.stderr)
            self.assertIn(words, proc.stderr)
            with open(path, encoding="utf-8") as f:
                self.assertEqual(f.read(), contents)
            os.unlink(path)
        # An empty file is no new store: this server makes its store beside it, then renames it.
        refused(os.path.join(self.dir, "accounts.sqlite3"), "", b"empty (0 bytes)")
        alice = {"key": "k", "hash": password_hash("pw", "k"), "shop": {"coins": 1 << 64, "items": {}}}
        refused(self.path, json.dumps({"accounts": {"alice": alice}}), b"does not fit 64 bits")
        refused(self.path, '{"accounts": ' + "[" * 100000 + "]" * 100000 + "}", b"nested too deeply")
        self.assertEqual(os.listdir(self.dir), [])

    def test_a_write_on_a_full_disk_is_told_as_such_and_changes_nothing(self):
        for connection in (lambda db: db, OlderPython):
            with self.subTest(connection=connection.__name__):
                path = os.path.join(self.dir, "%s.sqlite3" % connection.__name__)
                store = AccountStore(path)
                self.addCleanup(store.close)
                store._db = connection(store._db)
                asyncio.run(store.create("alice", "k", "%032x" % 1))
                store._db.execute("PRAGMA max_page_count = %d" % store._db.execute("PRAGMA page_count").fetchone()[0])
                names = ["alice"]
                with self.assertRaises(OSError) as caught:
                    for i in range(2, 200):
                        names.append("user%03d" % i)
                        asyncio.run(store.create(names[-1], "k" * 2000, "%032x" % i))
                self.assertIn("disk full", str(caught.exception))
                self.assertNotIn("rollback", str(caught.exception))
                store.close()
                self.assertEqual(list(stored_accounts(path)), names[:-1])

    def test_the_writer_s_lock_wait_and_the_writes_a_stop_leaves(self):
        # A stop's last write takes the results its cancelled tries have not written, each once.
        store = AccountStore(self.path)
        asyncio.run(store.create("alice", "k", "%032x" % 1))
        written, waiting = (store.add_match("alice", "bob", result, 100) for result in (1, -1))
        asyncio.run(written.attempt())
        self.assertEqual(asyncio.run(PendingWrite.store_all(store, [written, waiting], time.monotonic())), 0)
        store.close()
        self.assertEqual([m["result"] for m in stored_accounts(self.path)["alice"]["matches"]], [1, -1])
        database = database_path(self.path)
        other = sqlite3.connect(database, isolation_level=None, check_same_thread=False)
        self.addCleanup(other.close)
        db = sqlite3.connect(database, isolation_level=None, timeout=0)
        self.addCleanup(db.close)

        def count(db):
            return db.execute("SELECT COUNT(*) FROM counters").fetchone()[0]
        before = count(db)
        log, printed = io.StringIO(), []
        served = Server(Config(accounts=database), log).accounts   # opened before the lock below
        served.start_writer()
        self.addCleanup(served.close)

        def write(db):
            db.execute("INSERT INTO counters VALUES ('n%d', 0)" % count(db))
        # The lock wait knows a busy store by the error's text where Python does not name it.
        other.execute("BEGIN IMMEDIATE")
        threading.Timer(0.3, other.execute, ("ROLLBACK",)).start()
        _commit(OlderPython(db), write, time.monotonic() + 10)
        other.execute("BEGIN IMMEDIATE")
        with self.assertRaises(StoreWriteError) as caught:
            _commit(OlderPython(db), write, time.monotonic() + 0.2)
        self.assertIn("locked", str(caught.exception))
        self.assertEqual(count(db), before + 1)

        # A try whose caller stopped waiting (a stop cancels them) still runs. The server's log
        # is told its failure: once it is done while the loop runs, or when the writer closes,
        # the loop's last step, before the loop could tell it; asyncio finds nothing to print.
        def told():
            return [json.loads(line)["error"] for line in log.getvalue().splitlines()
                    if json.loads(line)["event"] == "store_error"]

        async def stopped_callers():
            asyncio.get_running_loop().set_exception_handler(lambda loop, context: printed.append(context))
            try:
                first = asyncio.ensure_future(served._writer.write(write, deadline=time.monotonic() + 0.3))
                behind = asyncio.ensure_future(served._writer.write(write))
                await asyncio.sleep(0)
                behind.cancel()
                with self.assertRaises(StoreWriteError):
                    await first
                for _ in range(250):
                    if told():
                        break
                    await asyncio.sleep(0.02)
                self.assertEqual(told(), ["database is locked"])
                last = asyncio.ensure_future(served._writer.write(write))
                await asyncio.sleep(0)
                last.cancel()
            finally:
                served.close()
            self.assertEqual(told(), ["database is locked"] * 2)
        asyncio.run(stopped_callers())
        gc.collect()
        self.assertEqual(told(), ["database is locked"] * 2)
        self.assertEqual(printed, [])

    def test_seeding_keeps_the_key_and_updates_the_password(self):
        store = AccountStore(self.path)
        self.addCleanup(store.close)
        asyncio.run(store.seed("alice", "one"))
        key = store.key_for("alice")
        asyncio.run(store.seed("alice", "two"))
        reloaded = AccountStore(self.path)
        self.addCleanup(reloaded.close)
        self.assertEqual(reloaded.key_for("alice"), key)
        self.assertTrue(reloaded.check("alice", password_hash("two", key)))


if __name__ == "__main__":
    unittest.main()

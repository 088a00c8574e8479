"""The account store survives restarts and a kill in the middle of a write."""

import json
import os
import subprocess
import sys
import tempfile
import time
import unittest

from lobbyserver.accounts import AccountStore, StoreError, password_hash
from tests import rawclient as rc
from tests.serverproc import ServerProcess

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


class Persistence(unittest.TestCase):
    def setUp(self):
        temp = tempfile.TemporaryDirectory(prefix="lobby-store-")
        self.addCleanup(temp.cleanup)
        self.dir = temp.name
        self.path = os.path.join(self.dir, "accounts.json")

    def start(self, *args):
        server = ServerProcess("--accounts", self.path, *args, workdir=self.dir)
        self.addCleanup(server.stop)
        return server

    def connect(self, server):
        client = rc.connected(server.lobby_port)
        self.addCleanup(client.close)
        return client

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

    def test_kill_during_writes_leaves_a_complete_store(self):
        writer = ("import sys; sys.path.insert(0, %r)\n"
                  "from lobbyserver.accounts import AccountStore\n"
                  "store = AccountStore(%r)\n"
                  "i = len(store.accounts)\n"
                  "print('go', flush=True)\n"
                  "while True:\n"
                  "    i += 1\n"
                  "    store.create('user%%05d' %% i, 'key%%d' %% i, '%%032x' %% i)\n") % (ROOT, self.path)
        for delay in (0.05, 0.13, 0.21, 0.3):
            proc = subprocess.Popen([sys.executable, "-c", writer], stdout=subprocess.PIPE)
            proc.stdout.readline()
            time.sleep(delay)
            proc.kill()
            proc.wait(5)
            proc.stdout.close()
            accounts = AccountStore(self.path).accounts
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
                              capture_output=True, timeout=10)
        self.assertEqual(proc.returncode, 2)
        self.assertIn(b"unreadable", proc.stderr)
        with open(self.path) as f:
            self.assertEqual(f.read(), '{"accounts": {"x": ')

    def test_seeding_keeps_the_key_and_updates_the_password(self):
        store = AccountStore(self.path)
        store.seed("alice", "one")
        key = store.key_for("alice")
        store.seed("alice", "two")
        reloaded = AccountStore(self.path)
        self.assertEqual(reloaded.key_for("alice"), key)
        self.assertTrue(reloaded.check("alice", password_hash("two", key)))
        with open(self.path) as f:
            self.assertEqual(json.load(f)["version"], 1)


if __name__ == "__main__":
    unittest.main()

"""What logs a player in stays out of the log, the state folder's files are the owner's,
mail cannot be abused, and a log that cannot be written does not stop the service."""

import contextlib
import io
import json
import os
import resource
import signal
import stat
import subprocess
import sys
import unittest

from lobbyserver.eventlog import EventLog, RotatingFile
from tests import rawclient as rc
from tests.patience import PATIENCE
from tests.serverproc import SERVER, ServerProcess, StoreCase

BAD_DETAILS, NOT_AVAILABLE = -3, -4
EXTERNAL_TOKEN = "token-that-logs-in-7f3a"


def mode(path):
    return stat.S_IMODE(os.lstat(path).st_mode)


class StateFolder(StoreCase, unittest.TestCase):
    def setUp(self):
        super().setUp()
        self.store = os.path.join(self.dir, "accounts.sqlite3")
        self.mail = os.path.join(self.dir, "mail")

    def register(self, client, name, email, password="pw"):
        """(ConfirmEmailACK result, the hash)."""
        client.send(rc.message(107, rc.text(name)))
        hashed = rc.md5_hash(password, client.expect(108).text(1))
        client.send(rc.message(109, rc.text(name), rc.text(email), rc.text(hashed), rc.integer(0),
                               rc.text(""), rc.text("")))
        return client.expect(110).int(0), hashed

    def logs_in(self, server, name, hashed):
        client = self.connect(server)
        client.send(rc.login(name, hashed))
        return client.expect(rc.LOGIN_ACK_ID).int(0) > 0

    def test_registration_and_logins_leave_no_secret_in_the_log_and_only_owner_readable_files(self):
        server = self.start("--account", "alice:secret")
        result, hashed = self.register(self.connect(server), "bob_42", "bob@example.org")
        self.assertEqual(result, 0)
        client = self.connect(server)
        client.send(rc.get_random_key("alice"))
        alice_hash = rc.md5_hash("secret", client.expect(rc.RANDOM_KEY_ID).text(0))
        client.send(rc.login("alice", rc.md5_hash("wrong", "x")))     # refused, then right
        self.assertEqual(client.expect(rc.LOGIN_ACK_ID).int(0), -1)
        client.send(rc.login("alice", alice_hash))
        self.assertGreater(client.expect(rc.LOGIN_ACK_ID).int(0), 0)
        self.assertTrue(self.logs_in(server, "bob_42", hashed))      # a remembered login
        guest, guest_id, _ = rc.guest(server.lobby_port)
        guest.close()
        client = self.connect(server)
        client.send(rc.message(111, rc.integer(2), rc.text("ext-7"), rc.text(EXTERNAL_TOKEN), rc.text(""),
                               rc.text("")))
        self.assertGreater(client.expect(rc.LOGIN_ACK_ID).int(0), 0)
        server.wait_for("login", 4)
        self.assertEqual(server.stop(), 0)

        with open(server.log_path, encoding="utf-8") as f:
            log = f.read()
        for secret in (hashed, alice_hash, rc.md5_hash("wrong", "x"), '"t%d"' % guest_id, EXTERNAL_TOKEN):
            self.assertNotIn(secret, log)
        self.assertEqual([r.get("withheld") for r in server.events("in") if r["name"] == "ExternalLogin"],
                         [["t2"]])
        logins = [r for r in server.events("in") if r["name"] in ("Login", "ConfirmEmail")]
        self.assertEqual([(r["name"], r.get("withheld")) for r in logins],
                         [("ConfirmEmail", ["password", "token"]), ("Login", ["hash"]), ("Login", ["hash"]),
                          ("Login", ["hash"]), ("Login", None)])
        self.assertEqual(logins[-1]["fields"]["hash"], "0")     # a guest's counter is no secret
        self.assertEqual(server.events("registered")[0]["user"], "bob_42")
        for path in (server.log_path, self.store, os.path.join(self.mail, "bob_42.txt")):
            self.assertEqual(mode(path), 0o600, path)
        self.assertEqual(mode(self.mail), 0o700)
        # As an older server or its owner left it: others lose their access, the owner keeps his.
        for left, kept in ((0o644, 0o600), (0o604, 0o600), (0o750, 0o700), (0o744, 0o700)):
            os.chmod(self.store, left)
            self.assertEqual(self.start().stop(), 0)
            self.assertEqual(mode(self.store), kept, oct(left))

    def test_a_store_its_owner_made_read_only_is_refused_and_left_as_it_is(self):
        """Decided from the mode its owner set: root, who runs these tests, could write it anyway."""
        self.assertEqual(self.start("--account", "alice:secret").stop(), 0)
        with open(self.store, "rb") as f:
            contents = f.read()

        def refused(words):
            before = sorted(os.listdir(self.dir))
            proc = subprocess.run([sys.executable, SERVER, "--port", "0", "--game-port", "0", "--accounts",
                                   self.path, "--log", os.devnull, "--exit-with-stdin"],
                                  stdin=subprocess.DEVNULL, capture_output=True, timeout=PATIENCE)
            self.assertEqual(proc.returncode, 2, proc.stderr)
            self.assertIn(words, proc.stderr)
            self.assertNotIn(b"Traceback", proc.stderr)
            with open(self.store, "rb") as f:
                self.assertEqual(f.read(), contents)
            self.assertEqual(sorted(os.listdir(self.dir)), before)
        for store_mode, folder_mode, words in ((0o444, 0o700, b"read-only (mode 0444)"),
                                               (0o400, 0o700, b"read-only (mode 0400)"),
                                               (0o600, 0o500, b"folder")):
            with self.subTest(store=oct(store_mode), folder=oct(folder_mode)):
                os.chmod(self.store, store_mode)
                os.chmod(self.dir, folder_mode)
                try:
                    refused(words)
                    self.assertEqual((mode(self.store), mode(self.dir)), (store_mode, folder_mode))
                finally:
                    os.chmod(self.dir, 0o700)
        # A read-only journal file beside a healthy store is refused the same way.
        shm = self.store + "-shm"
        with open(shm, "wb"):
            pass
        os.chmod(shm, 0o444)
        refused(b"-shm is read-only (mode 0444)")
        self.assertEqual(mode(shm), 0o444)
        os.remove(shm)

    def test_abused_addresses_and_mail_files_are_refused_and_a_failed_registration_leaves_nothing(self):
        os.mkdir(self.mail)
        outside = os.path.join(self.dir, "outside.txt")
        with open(outside, "w") as f:
            f.write("untouched")
        os.symlink(outside, os.path.join(self.mail, "carol.txt"))
        server = self.start()
        client = self.connect(server)
        # The server takes what the game's check takes: 6 to 256 letters, digits, "-", "_", "."
        # and "@", wherever they stand. Nothing else reaches the mail: a line break (or any
        # control character) would add a line to it, a direction override would show another
        # address. The game explains -3.
        at_most = "f" * 244 + "@example.org"
        for address in ("eve@example.org\nBcc: all@example.org", "eve@example.org\x7f", "eve\x85@example.org",
                        "eve@example.org\u2028Bcc: all@example.org", "eve\u2029@example.org",
                        "\u202egro.elpmaxe@eve", "eve\u200b@example.org", "\ufeffeve@example.org",
                        "eve @example.org", "eve\u00a0@example.org", "eve\u3000@example.org", "eve\t@example.org",
                        "g\u00fcnther@b\u00fccher.example", "eve+1@example.org", "eve@b", "e" + at_most,
                        # a character beyond the first plane, its halves in order, alone or the wrong way round
                        "h\ud83d\ude00@example.org", "a\ud800@b.org", "a@b.org\udfff", "a\ude00\ud83d@b.org"):
            self.assertEqual(self.register(client, "eve_1", address)[0], BAD_DETAILS, ascii(address[:20]))
        for name, address in (("frank", at_most), ("gerda", "@example.org"), ("hanna", "h@@example.org"),
                              ("ingo", "i@n@go.org"), ("jonas", "jo.nas")):
            self.assertEqual(self.register(client, name, address)[0], 0, address)
        with open(os.path.join(self.mail, "ingo.txt")) as f:
            self.assertIn("To: i@n@go.org\n", f.read())
        # The planted link is replaced by the mail, never written through.
        result, _ = self.register(client, "carol", "carol@example.org")
        self.assertEqual(result, 0)
        with open(outside) as f:
            self.assertEqual(f.read(), "untouched")
        carol_mail = os.path.join(self.mail, "carol.txt")
        self.assertTrue(stat.S_ISREG(os.lstat(carol_mail).st_mode))
        with open(carol_mail) as f:
            self.assertIn("To: carol@example.org\n", f.read())
        # A mail that cannot be written refuses the registration, and no account is left.
        os.rename(self.mail, self.mail + ".away")
        with open(self.mail, "w") as f:
            f.write("not a folder")
        result, hashed = self.register(client, "dave", "dave@example.org")
        self.assertEqual(result, NOT_AVAILABLE)
        self.assertFalse(self.logs_in(server, "dave", hashed))
        self.assertEqual(server.stop(), 0)
        server = self.start()
        self.assertFalse(self.logs_in(server, "dave", hashed))
        self.assertFalse(self.logs_in(server, "eve_1", hashed))
        client = self.connect(server)
        client.send(rc.message(107, rc.text("dave")))
        self.assertEqual(client.expect(108).int(0), 0)     # the name is free

    def test_the_mail_folder_keeps_only_mail_of_stored_accounts_and_is_never_followed(self):
        server = self.start()
        self.assertEqual(self.register(self.connect(server), "carol", "carol@example.org")[0], 0)
        server.kill()
        server.stop()
        # What a kill between the mail and the store leaves: a temporary file, a mail without account.
        for left in (".dave.txt.0123456789ab", "dave.txt", "notes.md"):
            with open(os.path.join(self.mail, left), "w") as f:
                f.write("To: dave@example.org\n")
        server = self.start()
        self.assertEqual(sorted(os.listdir(self.mail)), ["carol.txt", "notes.md"])
        self.assertEqual(self.register(self.connect(server), "dave", "dave@example.org")[0], 0)
        server.stop()
        # A folder that is a link is refused, for the mail and for the clearing alike.
        elsewhere = self.mail + ".elsewhere"
        os.rename(self.mail, elsewhere)
        os.symlink(elsewhere, self.mail)
        with open(os.path.join(elsewhere, "zed_1.txt"), "w") as f:
            f.write("kept")
        server = self.start()
        self.assertEqual(self.register(self.connect(server), "erin", "erin@example.org")[0], NOT_AVAILABLE)
        self.assertEqual(sorted(os.listdir(elsewhere)), ["carol.txt", "dave.txt", "notes.md", "zed_1.txt"])

    def test_a_log_that_cannot_be_written_does_not_stop_the_service(self):
        server = ServerProcess("--log", "/dev/full", workdir=self.dir)   # the later --log holds
        self.addCleanup(server.stop)
        for _ in range(3):
            client, user_id, _name = rc.guest(server.lobby_port)
            client.close()
        self.assertGreater(user_id, 0)
        server.proc.send_signal(signal.SIGTERM)
        self.assertEqual(server.proc.wait(PATIENCE), 0)
        errors = server.proc.stderr.read().decode().splitlines()
        self.assertEqual(len(errors), 1, errors)
        self.assertIn("cannot write the log", errors[0])

    @contextlib.contextmanager
    def limits(self, descriptors=False, file_size=None):
        """No descriptor left to open a file, and a file size limit as a full disk sets one."""
        saved = {r: resource.getrlimit(r) for r in (resource.RLIMIT_NOFILE, resource.RLIMIT_FSIZE)}
        saved_signal = signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        told = io.StringIO()
        try:
            if descriptors:
                lowest_free = os.dup(0)
                os.close(lowest_free)
                resource.setrlimit(resource.RLIMIT_NOFILE, (lowest_free, saved[resource.RLIMIT_NOFILE][1]))
            if file_size is not None:
                resource.setrlimit(resource.RLIMIT_FSIZE, (file_size, saved[resource.RLIMIT_FSIZE][1]))
            with contextlib.redirect_stderr(told):
                yield told
        finally:
            for kind, limit in saved.items():
                resource.setrlimit(kind, limit)
            signal.signal(signal.SIGXFSZ, saved_signal)

    @staticmethod
    def records(path):
        with open(path, encoding="utf-8") as f:
            return [(r["event"], r.get("user_id", r.get("lines"))) for r in map(json.loads, f)]

    def test_a_disk_that_fills_in_the_middle_of_a_line_leaves_no_broken_line(self):
        path = os.path.join(self.dir, "server.log")
        log = EventLog(RotatingFile(path))
        log.write("login", user_id=1)
        # The limit cuts the next write short, as a full disk does, then refuses more.
        with self.limits(file_size=os.path.getsize(path) + 40) as told:
            for _ in range(3):
                log.write("chat", text="x" * 100)
        log.write("login", user_id=2)
        log.write("login", user_id=3)
        self.assertEqual(self.records(path), [("login", 1), ("log_lost", 3), ("login", 2), ("login", 3)])
        self.assertEqual(len(told.getvalue().splitlines()), 1)

    def test_a_log_that_cannot_move_aside_keeps_its_parts_and_counts_what_it_lost(self):
        path = os.path.join(self.dir, "server.log")
        log = EventLog(RotatingFile(path, max_bytes=200))
        for user_id in range(1, 11):
            log.write("login", user_id=user_id)
        parts = {n: self.records("%s.%d" % (path, n)) for n in (1, 2, 3)}
        current = self.records(path)
        # Without a descriptor for a new file the current one takes the lines, past its size.
        with self.limits(descriptors=True):
            log.write("login", user_id=11)
            log.write("login", user_id=12)
        current += [("login", 11), ("login", 12)]
        # And lines that it cannot take either are lost, told once on standard error.
        with self.limits(descriptors=True, file_size=os.path.getsize(path)) as told:
            for _ in range(4):
                log.write("chat", text="x" * 100)
        self.assertEqual(len(told.getvalue().splitlines()), 1)
        self.assertEqual({n: self.records("%s.%d" % (path, n)) for n in (1, 2, 3)}, parts)
        self.assertEqual(self.records(path), current)
        log.write("login", user_id=13)
        self.assertEqual(self.records(path), [("log_lost", 4), ("login", 13)])
        self.assertEqual([self.records("%s.%d" % (path, n)) for n in (1, 2, 3)], [current, parts[1], parts[2]])
        self.assertEqual(sorted(os.listdir(self.dir)), ["server.log", "server.log.1", "server.log.2", "server.log.3"])

if __name__ == "__main__":
    unittest.main()

"""Language packs (--language-dir) and the theme pack (--theme-dir, --theme)."""

import hashlib
import os
import tempfile
import unittest

from tests import rawclient as rc
from tests.serverproc import ServerProcess, ServerTestCase
from tests.test_players import number, records

GERMAN = b"KMP german pack " * 40
GAME_FRENCH = b"KMP game pack, french"
THEME = bytes(range(256)) * 8


def get_language_pack(code, target):
    return rc.message(30, rc.text(code), rc.text(target))


def get_theme_pack(digest):
    return rc.message(32, rc.text(digest))


class Packs(ServerTestCase, unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory(prefix="lobby-packs-")
        languages, themes = (os.path.join(cls.folder.name, d) for d in ("languages", "themes"))
        for path, data in (("languages/vornlanguage_de.kmp", GERMAN), ("languages/game_fr.kmp", GAME_FRENCH),
                           ("languages/notes.txt", b"not a pack"), ("themes/vorntheme_testtheme.kmp", THEME)):
            os.makedirs(os.path.dirname(os.path.join(cls.folder.name, path)), exist_ok=True)
            with open(os.path.join(cls.folder.name, path), "wb") as f:
                f.write(data)
        cls.server_args = ("--language-dir", languages, "--theme-dir", themes, "--theme", "testtheme")

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def setUp(self):
        super().setUp()
        self.client, _, _ = rc.guest(self.server.lobby_port)
        self.track(self.client)

    def test_the_list_names_each_pack_with_its_digest_and_size(self):
        self.client.send(bytes.fromhex("BC 00"))
        listed = [(r[0].decode(), r[1].decode(), r[2].decode(), number(r[3]))
                  for r in records(self.client.expect(29).fields()[0])]
        self.assertEqual(listed, [("fr", "game", hashlib.md5(GAME_FRENCH).hexdigest(), len(GAME_FRENCH)),
                                  ("de", "vornlanguage", hashlib.md5(GERMAN).hexdigest(), len(GERMAN))])

    def test_a_pack_is_sent_whole_and_an_unknown_one_not_at_all(self):
        self.client.send(get_language_pack("de", "vornlanguage"))
        pack = self.client.expect(31)
        self.assertEqual((pack.text(0), pack.text(1), pack.int(3)), ("vornlanguage", "de", len(GERMAN)))
        self.assertEqual(pack.fields()[4], GERMAN)
        for code, target in (("de", "game"), ("xx", "vornlanguage")):
            self.client.send(get_language_pack(code, target))
        self.client.expect_quiet()

    def test_the_theme_only_for_another_digest(self):
        self.client.send(get_theme_pack(""))
        theme = self.client.expect(33)
        self.assertEqual((theme.text(0), theme.fields()[2]), ("testtheme", THEME))
        self.client.send(get_theme_pack(hashlib.md5(THEME).hexdigest()))
        self.client.expect_quiet()


class PackTooLarge(unittest.TestCase):
    def test_the_server_does_not_start_and_names_the_file(self):
        with tempfile.TemporaryDirectory(prefix="lobby-packs-") as folder:
            path = os.path.join(folder, "vornlanguage_de.kmp")
            with open(path, "wb") as f:
                f.write(b"x" * 5000)
            with self.assertRaises(RuntimeError) as caught:
                ServerProcess("--language-dir", folder, "--max-output", "4096", workdir=folder)
            self.assertIn("exit status 2", str(caught.exception))
            self.assertIn(path, str(caught.exception))


if __name__ == "__main__":
    unittest.main()

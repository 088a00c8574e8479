"""Item data files: the list with digests and sizes, chunks, and the control commands that
make a transfer fail (a corrupted chunk, a file that is not answered, a wrong offset)."""

import unittest

from tests import rawclient as rc
from tests.controlclient import ControlClient
from tests.shopcase import BIG_FILE, SMALL_FILE, ShopCase, ints, md5, number, records

CHUNK = 16384


class ItemData(ShopCase, unittest.TestCase):
    def setUp(self):
        super().setUp()
        self.client, _uid, _name = self.guest()
        self.control = ControlClient(self.server.control_port)
        self.addCleanup(self.control.close)

    def chunk(self, item, offset, size=CHUNK):
        answer = self.ask(self.client, 88, *ints(item, offset, size), answer=89)
        return answer.int(0), answer.int(1), answer.fields()[2], answer.int(3)

    def download(self, item, size):
        data, offset, remaining = b"", 0, size
        while remaining > 0:
            _item, at, chunk, remaining = self.chunk(item, offset, min(remaining, CHUNK))
            self.assertEqual(at, offset)
            data += chunk
            offset += len(chunk)
        return data

    def test_list_of_files_with_digest_and_size(self):
        answer = self.ask(self.client, 94, answer=87)
        listed = [(number(r[0]), number(r[1]), r[2], number(r[3])) for r in records(answer.fields()[0])]
        self.assertEqual(listed, [(201, 0, md5(BIG_FILE), len(BIG_FILE)), (202, 1, md5(SMALL_FILE), len(SMALL_FILE))])

    def test_chunks_count_the_bytes_remaining(self):
        sizes = []
        offset = 0
        while True:
            _item, _at, chunk, remaining = self.chunk(201, offset)
            sizes.append((len(chunk), remaining))
            offset += len(chunk)
            if remaining == 0:
                break
        self.assertEqual(sizes, [(CHUNK, len(BIG_FILE) - CHUNK), (CHUNK, len(BIG_FILE) - 2 * CHUNK),
                                 (len(BIG_FILE) - 2 * CHUNK, 0)])
        self.assertEqual(self.download(202, len(SMALL_FILE)), SMALL_FILE)
        # An asked size above what one message carries is cut, never refused.
        self.assertEqual(len(self.chunk(201, 0, 1 << 20)[2]), 32768)

    def test_requests_outside_a_file_are_not_answered(self):
        for item, offset, size in ((999, 0, CHUNK), (201, -1, CHUNK), (201, len(BIG_FILE) + 1, CHUNK), (201, 0, 0)):
            self.client.send(rc.message(88, *ints(item, offset, size)))
        self.client.expect_quiet()
        self.assertEqual(len(self.server.wait_for("item_data_refused", 4)), 4)

    def test_a_corrupted_chunk_once(self):
        self.control.ok("corrupt_chunk", item=201, offset=CHUNK)
        self.assertNotEqual(md5(self.download(201, len(BIG_FILE))), md5(BIG_FILE))
        self.assertEqual(self.download(201, len(BIG_FILE)), BIG_FILE)
        self.control.ok("corrupt_chunk", item=202)      # without an offset: the next chunk
        self.assertNotEqual(self.download(202, len(SMALL_FILE)), SMALL_FILE)

    def test_a_file_not_answered_until_released(self):
        self.control.ok("stall_item_data", item=201)
        self.client.send(rc.message(88, *ints(201, 0, CHUNK)))
        self.client.expect_quiet()
        self.assertEqual(self.download(202, len(SMALL_FILE)), SMALL_FILE)    # other files go on
        self.control.ok("stall_item_data", item=201, on=False)
        self.assertEqual(self.download(201, len(BIG_FILE)), BIG_FILE)

    def test_a_wrong_offset_before_the_right_chunk(self):
        self.control.ok("wrong_offset", item=201)
        self.client.send(rc.message(88, *ints(201, CHUNK, CHUNK)))
        wrong, right = self.client.expect(89), self.client.expect(89)
        self.assertEqual((wrong.int(1), right.int(1)), (CHUNK + 1, CHUNK))
        self.assertEqual(right.fields()[2], BIG_FILE[CHUNK:2 * CHUNK])
        self.assertEqual(self.chunk(201, 0)[1], 0)      # once only

    def test_bad_commands_are_refused(self):
        for fields in ({"item": 999}, {"item": "201"}, {}):
            for command in ("corrupt_chunk", "stall_item_data", "wrong_offset"):
                with self.subTest(command=command, fields=fields):
                    self.assertFalse(self.control.command(command, **fields)["ok"])
        self.assertFalse(self.control.command("corrupt_chunk", item=201, offset=-5)["ok"])


if __name__ == "__main__":
    unittest.main()

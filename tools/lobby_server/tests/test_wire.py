"""The server's codec against the byte examples of the protocol."""

import unittest

from lobbyserver import wire
from lobbyserver.accounts import password_hash
from lobbyserver.content import decode_content
from lobbyserver.wire import FrameReader, FramingError, WireError


def hx(text):
    return bytes.fromhex(text)


class ValueForms(unittest.TestCase):
    def test_identifiers_and_lengths(self):
        self.assertEqual(wire.encode_identifier(30), hx("BE"))
        self.assertEqual(wire.encode_identifier(31), hx("BF 1F"))
        self.assertEqual(wire.encode_identifier(116), hx("BF 74"))
        self.assertEqual(wire.encode_length(127), hx("7F"))
        self.assertEqual(wire.encode_length(128), hx("81 80"))
        self.assertEqual(wire.encode_length(300), hx("82 01 2C"))

    def test_ints_and_longs(self):
        cases = {0: "01 00", 127: "01 7F", 128: "02 00 80", -1: "01 FF", -128: "01 80",
                 -129: "02 FF 7F", 2147483647: "04 7F FF FF FF", -2147483648: "04 80 00 00 00"}
        for value, expected in cases.items():
            self.assertEqual(wire.encode_int(value), hx(expected), value)
            self.assertEqual(wire.decode_int(hx(expected)[1:]), (value, True))
        self.assertEqual(wire.encode_long(0), hx("01 00"))
        self.assertEqual(wire.encode_long(1 << 32), hx("05 01 00 00 00 00"))
        self.assertEqual(wire.decode_long(hx("FF FF")), (65535, False))
        self.assertEqual(wire.decode_int(hx("00 05")), (5, False))
        with self.assertRaises(WireError):
            wire.decode_int(b"")

    def test_texts_keep_surrogate_halves(self):
        self.assertEqual(wire.encode_text("abc"), hx("03 61 62 63"))
        self.assertEqual(wire.encode_text("\u00e9"), hx("02 C3 A9"))
        self.assertEqual(wire.encode_text("\u20ac"), hx("03 E2 82 AC"))
        halves = hx("ED A0 BD ED B8 80")   # U+1F600 as the client writes it
        self.assertEqual(wire.text_bytes("\U0001F600"), halves)
        decoded, canonical = wire.decode_text(halves)
        self.assertTrue(canonical)
        self.assertEqual(wire.text_bytes(decoded), halves)
        self.assertFalse(wire.decode_text("\U0001F600".encode())[1])
        with self.assertRaises(WireError):
            wire.decode_text(hx("C3"))

    def test_int_list(self):
        self.assertEqual(wire.encode_int_list([1, 300]), hx("07 02 01 01 02 02 01 2C"))
        self.assertEqual(wire.encode_int_list([]), hx("00"))

    def test_password_hash_takes_the_low_byte_of_each_unit(self):
        self.assertEqual(password_hash("secret", "k3y9"), "8b0d8892a73653d81ca7ae49cc4c9be0")
        self.assertEqual(password_hash("\u0141", ""), password_hash("A", ""))  # U+0141 -> 0x41


class Framing(unittest.TestCase):
    LOGIN = hx("A5 0F 80 05 67 75 65 73 74 81 01 30 82 01 01 83 00")
    ALIVE = hx("BF 2C 03 80 01 FF")

    def test_split_at_every_position_and_byte_by_byte(self):
        stream = self.ALIVE + self.LOGIN
        for cut in range(len(stream) + 1):
            reader = FrameReader()
            frames = reader.feed(stream[:cut]) + reader.feed(stream[cut:])
            self.assertEqual([f.data for f in frames], [self.ALIVE, self.LOGIN], cut)
        reader = FrameReader()
        frames = [f for b in stream for f in reader.feed(bytes([b]))]
        self.assertEqual([(f.msg_id, f.data) for f in frames], [(44, self.ALIVE), (5, self.LOGIN)])
        self.assertEqual(reader.pending, 0)

    def test_incomplete_headers_wait(self):
        for prefix in ("A5", "BF", "BF 2C", "A5 82 01"):
            self.assertEqual(FrameReader().feed(hx(prefix)), [])
        reader = FrameReader()
        reader.feed(hx("A5 05"))
        self.assertEqual(reader.expected, 7)
        reader = FrameReader(max_frame=1000)
        reader.feed(hx("A5 82 01 00"))
        self.assertEqual(reader.expected, 260)

    def test_framing_errors(self):
        for bad in ("05 00", "A5 85 00 00 00 00 01", "A5 80", "BF 05 00", "BF 80 00", "C5 00",
                    "A5 84 7F FF FF FF"):
            with self.assertRaises(FramingError, msg=bad):
                FrameReader().feed(hx(bad))

    def test_messages_before_a_fault_are_kept(self):
        with self.assertRaises(FramingError) as caught:
            FrameReader().feed(self.ALIVE + self.LOGIN + hx("05 00"))
        self.assertEqual([f.data for f in caught.exception.frames], [self.ALIVE, self.LOGIN])
        self.assertEqual(caught.exception.data, hx("05"))

    def test_largest_game_message_fits_one_more_byte_does_not(self):
        header = hx("AD 83 01 00 15 80 83 01 00 10")
        reader = FrameReader()
        self.assertEqual(reader.feed(header), [])
        self.assertEqual(reader.expected, wire.MAX_FRAME)
        frames = reader.feed(bytes(wire.MAX_GAME_PAYLOAD))
        self.assertEqual(len(frames[0].data), 65562)
        with self.assertRaises(FramingError):
            FrameReader().feed(hx("AD 83 01 00 16"))

    def test_non_minimal_length_is_marked(self):
        frame = FrameReader().feed(hx("BF 2C 81 03 80 01 FF"))[0]
        self.assertFalse(frame.canonical)


class Content(unittest.TestCase):
    def test_login_decodes(self):
        fields, remarks = decode_content(5, Framing.LOGIN[2:])
        self.assertEqual(fields, {"user": "guest", "hash": "0", "one": 1, "text": ""})
        self.assertEqual(remarks, [])

    def test_optional_fields(self):
        fields, remarks = decode_content(74, hx("80 01 09 81 01 06"))
        self.assertEqual((fields, remarks), ({"app": 9, "a": 6}, []))
        fields, _ = decode_content(104, hx("80 01 07 81 02 08 01"))
        self.assertNotIn("recipients", fields)

    def test_game_end_lists(self):
        content = hx("80 01 01 81 01 40 82 01 00 A3 08 02 02 03 E9 02 02 03 EA"
                     " A4 06 02 01 01 02 01 02 85 01 00")
        fields, remarks = decode_content(15, content)
        self.assertEqual(fields["players"], [1001, 1002])
        self.assertEqual(fields["ranks"], [1, 2])
        self.assertEqual(remarks, [])
        _, remarks = decode_content(15, content.replace(hx("A3 08"), hx("83 08")))
        self.assertEqual(len(remarks), 1)

    def test_remarks_for_non_canonical_forms(self):
        _, remarks = decode_content(7, hx("81 01 00 80 01 40 82 01 02"))
        self.assertIn("out of declaration order", remarks[0])
        _, remarks = decode_content(44, hx("80 02 FF FF"))
        self.assertIn("non-canonical int", remarks[0])
        _, remarks = decode_content(44, hx("80 01 FF 80 01 FF"))
        self.assertIn("repeated", remarks[0])

    def test_invalid_content(self):
        bad = {13: "80 05 01 02",                 # inner length overruns the content
               44: "80 00",                       # int without bytes
               9: "80 01 40 81 01 00",            # index beyond the fields
               5: "80 05 67 75 65 73 74",         # required fields missing
               57: "60 01 61",                    # wrong tag class
               25: "80 01 C3",                    # not UTF-8
               14: "80 03 0C 01 61 81 01 00 82 01 00"}   # text element in an int list
        for msg_id, content in bad.items():
            with self.assertRaises(WireError, msg=content):
                decode_content(msg_id, hx(content))


if __name__ == "__main__":
    unittest.main()

"""The tests' control channel: sending bytes and canonical messages to a connection,
cutting its output into pieces, holding answers back, closing, and refusing bad lines."""

import json
import unittest

from lobbyserver import messages
from tests import rawclient as rc
from tests.controlclient import ControlClient
from tests.serverproc import ServerProcess
from tests.test_match import MatchCase

NOTIFICATION = rc.message(45, rc.integer(7), rc.text("Server restarts soon"), rc.integer(-2))
# Long enough that its pieces, a byte each, come over a second or more: a reader that a loaded
# machine holds up for a while still sees them in many reads.
LONG_TEXT = "Server restarts soon. " * 20


def listening_address(port):
    """The local address (hex, as in /proc/net/tcp) of the socket listening on port."""
    with open("/proc/net/tcp", encoding="ascii") as table:
        for row in list(table)[1:]:
            local, state = row.split()[1], row.split()[3]
            address, port_hex = local.split(":")
            if state == "0A" and int(port_hex, 16) == port:
                return address
    return None


class ControlCase(MatchCase):
    server_args = ("--control-port", "0")

    def setUp(self):
        super().setUp()
        self.control = ControlClient(self.server.control_port)
        self.addCleanup(self.control.close)

    def guest(self):
        client, user_id, _ = rc.guest(self.server.lobby_port)
        self.track(client)
        return client, user_id


class ReadyLine(unittest.TestCase):
    def test_control_port_only_with_the_option_and_always_on_loopback(self):
        plain = ServerProcess()
        self.addCleanup(plain.stop)
        self.assertNotIn("control_port", plain.ready)

        wide = ServerProcess("--host", "0.0.0.0", "--control-port", "0")
        self.addCleanup(wide.stop)
        self.assertGreater(wide.control_port, 0)
        self.assertEqual(listening_address(wide.lobby_port), "00000000")
        self.assertEqual(listening_address(wide.control_port), "0100007F")


class Send(ControlCase, unittest.TestCase):
    def test_hex_and_message_reach_the_client_byte_for_byte(self):
        client, _ = self.guest()
        broken = bytes.fromhex("A5 85 01 02")      # a header no writer produces
        answer = self.control.ok("send", conn="L1", hex=broken.hex(" "))
        self.assertEqual(answer["hex"], broken.hex())
        self.assertEqual(client.sock.recv(64), broken)

        answer = self.control.ok("send", conn="L1", message="notification",
                                 args=[7, "Server restarts soon", -2])
        self.assertEqual(bytes.fromhex(answer["hex"]), messages.notification(7, "Server restarts soon", -2))
        client.expect_bytes(NOTIFICATION)
        # Keyword arguments and byte arguments given as hex.
        self.control.ok("send", conn="L1", message="game_message", args={"payload": {"hex": "0102ff"}})
        client.expect_bytes(rc.game_message(bytes.fromhex("0102ff")))
        out = [e for e in self.server.events("out") if e["conn"] == "L1"]
        self.assertEqual(out[-3]["bytes"], {"len": 4, "hex": broken.hex()})   # logged as it went out
        self.assertEqual([e["name"] for e in out[-2:]], ["Notification", "GameMessage"])

    def test_user_id_addresses_the_lobby_or_the_game_connection(self):
        a, b, _, _ = self.start_match()
        self.control.ok("send", user=b.id, conn="game", message="alive", args=[-5])
        b.game.expect_bytes(rc.message(44, rc.integer(-5)))
        self.control.ok("send", user=a.id, conn="lobby", message="alive", args=[-6])
        a.lobby.expect_bytes(rc.message(44, rc.integer(-6)))
        for p in (a, b):
            p.lobby.expect_quiet()
            p.game.expect_quiet()
        listed = self.control.ok("connections")["connections"]
        self.assertEqual(sorted((c["kind"], c["user"]) for c in listed),
                         sorted([("lobby", a.id), ("lobby", b.id), ("game", a.id), ("game", b.id)]))


class Chunk(ControlCase, unittest.TestCase):
    def test_pieces_arrive_one_per_read_until_switched_off(self):
        client, _ = self.guest()
        self.control.ok("chunk", conn="L1", sizes=[1])
        client.reads = 0
        self.control.ok("send", conn="L1", message="notification", args=[7, LONG_TEXT, -2])
        client.expect_bytes(rc.message(45, rc.integer(7), rc.text(LONG_TEXT), rc.integer(-2)), 30)
        self.assertGreater(client.reads, 3)

        # Cycling sizes also cut the server's own answers, which stay whole and in order.
        self.control.ok("chunk", conn="L1", sizes=[1, 2, 3, 8])
        client.send(rc.ALIVE_MINUS_ONE + rc.GET_KEY_VALUE_GUEST)
        client.expect_bytes(rc.ALIVE_MINUS_ONE)
        client.expect_bytes(rc.KEY_VALUE_GUEST)

        self.control.ok("chunk", conn="L1", sizes=[])
        client.reads = 0
        client.send(rc.GET_KEY_VALUE_GUEST)
        client.expect_bytes(rc.KEY_VALUE_GUEST)
        self.assertEqual(client.reads, 1)

    def test_pieces_for_a_connection_that_closes_are_dropped(self):
        client, _ = self.guest()
        self.control.ok("chunk", conn="L1", sizes=[1])
        self.control.ok("send", conn="L1", message="key_value", args=["k", "v" * 1000])
        client.close()
        self.server.wait_for("close", conn="L1")
        self.assertEqual(self.control.ok("connections")["connections"], [])
        # _finish checks that no internal error was logged.


class Hold(ControlCase, unittest.TestCase):
    def test_held_answer_comes_once_after_release(self):
        client, _ = self.guest()
        other, _ = self.guest()
        self.control.ok("hold", id=44, conn="L1")
        client.send(rc.ALIVE_MINUS_ONE)
        other.send(rc.ALIVE_MINUS_ONE)
        other.expect_bytes(rc.ALIVE_MINUS_ONE)      # the hold is for L1 only
        client.send(rc.GET_KEY_VALUE_GUEST)
        client.expect_bytes(rc.KEY_VALUE_GUEST)     # other ids pass the held one
        self.assertEqual(self.control.ok("release", id=44, conn="L1")["released"], 1)
        client.expect_bytes(rc.ALIVE_MINUS_ONE)
        client.expect_quiet()

    def test_hold_for_every_connection_and_release_in_order(self):
        client, _ = self.guest()
        self.control.ok("hold", id=44)
        client.send(rc.message(44, rc.integer(-1)) + rc.message(44, rc.integer(-2)))
        self.server.wait_for("held", 2)
        late, _ = self.guest()                     # a connection opened after the hold
        late.send(rc.ALIVE_MINUS_ONE)
        self.server.wait_for("held", 3)
        client.expect_quiet(rc.GET_KEY_VALUE_GUEST, rc.KEY_VALUE_GUEST)   # other ids pass the held one
        self.assertEqual(self.control.ok("release", id=44)["released"], 3)
        client.expect_bytes(rc.message(44, rc.integer(-1)))
        client.expect_bytes(rc.message(44, rc.integer(-2)))
        late.expect_bytes(rc.ALIVE_MINUS_ONE)
        client.send(rc.ALIVE_MINUS_ONE)
        client.expect_bytes(rc.ALIVE_MINUS_ONE)     # no longer held

    def test_held_answer_of_a_closed_connection_is_dropped(self):
        client, _ = self.guest()
        self.control.ok("hold", id=44)
        client.send(rc.ALIVE_MINUS_ONE)
        self.server.wait_for("held")
        client.close()
        self.server.wait_for("close", conn="L1")
        self.assertEqual(self.control.ok("release", id=44)["released"], 0)


class Close(ControlCase, unittest.TestCase):
    def test_close_of_a_lobby_connection(self):
        client, _ = self.guest()
        self.control.ok("close", conn="L1")
        client.expect_closed()
        self.assertEqual(self.server.wait_for("close", conn="L1")[0]["reason"], "closed by control")

    def test_close_of_a_game_connection_tells_the_opponent(self):
        a, b, starts, _ = self.start_match()
        self.control.ok("close", user=a.id, conn="game")
        a.game.expect_closed()
        gone = b.game.expect(rc.GAME_DISCONNECT_ID)
        self.assertEqual(gone.data, rc.message(72, rc.long_integer(starts[0].long(0)), rc.integer(a.id)))


class Listen(ControlCase, unittest.TestCase):
    def test_lobby_connections_are_refused_until_listening_resumes_on_the_same_port(self):
        client, _ = self.guest()
        port = self.server.lobby_port
        self.assertEqual(self.control.ok("listen", on=False), {"ok": True, "listening": False, "port": port})
        with self.assertRaises(ConnectionRefusedError):
            rc.RawClient(port)
        client.send(rc.ALIVE_MINUS_ONE)              # the open connection stays
        client.expect_bytes(rc.ALIVE_MINUS_ONE)
        self.assertEqual(self.control.ok("listen", on=False)["listening"], False)   # again: no change

        self.assertEqual(self.control.ok("listen", on=True)["listening"], True)
        again, _, _ = rc.guest(port)                  # connecting right away is not refused
        self.track(again)
        self.assertEqual(self.control.ok("listen", on=True)["port"], port)
        for bad in (b'{"cmd": "listen"}', b'{"cmd": "listen", "on": 1}'):
            self.assertIs(self.control.line(bad + b"\n")["ok"], False)


class BadLines(ControlCase, unittest.TestCase):
    server_args = ("--control-port", "0", "--max-output", "4096")

    def test_every_bad_line_is_refused_and_changes_nothing(self):
        client, user_id = self.guest()
        bad = [
            b"not json",
            b"[1, 2]",
            b'{"cmd": "explode"}',
            b'{"hex": "00"}',
            b'{"cmd": "send", "hex": "00"}',                                  # no connection
            b'{"cmd": "send", "conn": "L99", "hex": "00"}',
            b'{"cmd": "send", "user": %d, "conn": "game", "hex": "00"}' % user_id,
            b'{"cmd": "send", "user": %d, "conn": "side", "hex": "00"}' % user_id,
            b'{"cmd": "send", "conn": "L1", "hex": "zz"}',
            b'{"cmd": "send", "conn": "L1", "hex": ""}',
            b'{"cmd": "send", "conn": "L1"}',
            b'{"cmd": "send", "conn": "L1", "message": "explode"}',
            b'{"cmd": "send", "conn": "L1", "message": "_tagged"}',
            b'{"cmd": "send", "conn": "L1", "message": "alive", "args": ["x"]}',
            b'{"cmd": "send", "conn": "L1", "message": "alive", "args": [1, 2]}',
            b'{"cmd": "send", "conn": "L1", "message": "alive", "args": [4294967296]}',
            b'{"cmd": "send", "conn": "L1", "message": "queue_update", "args": [[1], 0, 64, 0]}',
            b'{"cmd": "send", "conn": "L1", "message": "game_message", "args": [{"hex": "0g"}]}',
            b'{"cmd": "send", "conn": "L1", "hex": "%s"}' % (b"00" * 5000),    # above --max-output
            b'{"cmd": "chunk", "conn": "L1", "sizes": [0]}',
            b'{"cmd": "chunk", "conn": "L1", "sizes": 1}',
            b'{"cmd": "hold", "id": "44"}',
            b'{"cmd": "hold", "id": 200}',
            b'{"cmd": "release"}',
            b'{"cmd": "close", "conn": "G1"}',
        ]
        for line in bad:
            with self.subTest(line=line[:70]):
                answer = self.control.line(line + b"\n")
                self.assertIs(answer["ok"], False)
                self.assertTrue(answer["error"])
        client.expect_quiet()              # neither held nor chunked nor closed
        self.control.ok("send", conn="L1", hex="BF2C0380010A")
        client.expect_bytes(rc.message(44, rc.integer(10)))

    def test_an_overlong_line_closes_only_that_control_connection(self):
        client, _ = self.guest()
        other = ControlClient(self.server.control_port)
        self.addCleanup(other.close)
        with self.assertRaises((ConnectionError, json.JSONDecodeError)):
            self.control.line(b'{"cmd": "send", "conn": "L1", "hex": "' + b"00" * 40000 + b'"}\n')
        self.assertEqual(other.ok("connections")["connections"],
                         [{"conn": "L1", "kind": "lobby", "user": 1001, "pending": 0}])
        client.send(rc.ALIVE_MINUS_ONE)
        client.expect_bytes(rc.ALIVE_MINUS_ONE)


if __name__ == "__main__":
    unittest.main()

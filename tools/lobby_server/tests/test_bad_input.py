"""Bad input and misbehaving clients: each case must leave the server serving others."""

import socket
import threading
import time
import unittest

from tests import rawclient as rc
from tests.controlclient import ControlClient
from tests.patience import PATIENCE
from tests.test_match import MatchCase, event


class BadInput(MatchCase, unittest.TestCase):
    server_args = ("--control-port", "0")

    def setUp(self):
        super().setUp()
        self.a, self.b, starts, _ = self.start_match()
        self.sid = starts[0].long(0)

    def assert_still_serving(self):
        client, user_id, _ = rc.guest(self.server.lobby_port)
        self.track(client)
        self.assertGreater(user_id, 0)
        payload = event(25, user_id)
        self.a.game.send(rc.game_message(payload))
        self.assertEqual(self.b.game.expect(rc.GAME_MESSAGE_ID).fields()[0], payload)

    def test_one_byte_chunks(self):
        client = self.track(rc.RawClient(self.server.lobby_port))
        for byte in rc.CONNECTION + rc.GUEST_LOGIN:
            client.send(bytes([byte]))
        client.expect(rc.CONNECT_ACK_ID)
        self.assertGreater(client.expect(rc.LOGIN_ACK_ID).int(0), 0)
        self.assert_still_serving()

    def test_header_split_at_every_position(self):
        payload = event(43, 9, 0, bytes(range(200)) + bytes(88))     # 300 bytes: long lengths
        whole = rc.game_message(payload)
        self.assertEqual(whole[:8], bytes.fromhex("AD 82 01 30 80 82 01 2C"))
        control = ControlClient(self.server.control_port)
        self.addCleanup(control.close)

        def in_two(client, kind, data, cut):
            # The rest goes once the server holds the first part: a loaded machine could
            # otherwise read both in one and the cut would go untried.
            client.send(data[:cut])
            deadline = time.monotonic() + PATIENCE
            while time.monotonic() < deadline:
                held = [c["pending"] for c in control.ok("connections")["connections"]
                        if (c["kind"], c["user"]) == (kind, self.a.id)]
                if held == [cut]:
                    break
                time.sleep(0.01)
            self.assertEqual(held, [cut])
            client.send(data[cut:])

        for cut in list(range(1, 12)) + [150, len(whole) - 1]:
            in_two(self.a.game, "game", whole, cut)
            self.assertEqual(self.b.game.expect(rc.GAME_MESSAGE_ID).fields()[0], payload, cut)
        for cut in range(1, len(rc.ALIVE_MINUS_ONE)):
            in_two(self.a.lobby, "lobby", rc.ALIVE_MINUS_ONE, cut)
            self.a.lobby.expect_bytes(rc.ALIVE_MINUS_ONE)

    def test_two_messages_in_one_chunk(self):
        self.a.lobby.send(rc.ALIVE_MINUS_ONE + rc.GROUPS_401)
        self.a.lobby.expect_bytes(rc.ALIVE_MINUS_ONE)
        self.a.lobby.expect_bytes(rc.GROUPS_401_ANSWER)

    def test_framing_errors_close_only_that_connection(self):
        for bad in ("A5 84 7F FF FF FF", "A5 85 01 02 03 04 05", "05 00", "BF 05 00", "A5 80"):
            client = self.track(rc.connected(self.server.lobby_port))
            client.send(rc.ALIVE_MINUS_ONE + bytes.fromhex(bad))
            client.expect_bytes(rc.ALIVE_MINUS_ONE)     # handled: it came whole before the fault
            client.expect_closed()
            self.assert_still_serving()
        self.expected_violations = 5
        reasons = [v["reason"] for v in self.server.wait_for("violation", 5)]
        self.assertTrue(all(r.startswith("framing") for r in reasons), reasons)

    def test_framing_error_on_a_game_connection_tells_the_opponent(self):
        self.a.game.send(bytes.fromhex("05 00"))
        self.a.game.expect_closed()
        gone = self.b.game.expect(rc.GAME_DISCONNECT_ID)
        self.assertEqual((gone.long(0), gone.int(1)), (self.sid, self.a.id))
        self.expected_violations = 1

    def test_end_of_stream_in_the_middle_of_a_message(self):
        client = self.track(rc.RawClient(self.server.lobby_port))
        client.send(rc.CONNECTION + rc.GUEST_LOGIN[:5])
        client.expect(rc.CONNECT_ACK_ID)
        client.sock.shutdown(socket.SHUT_WR)
        client.expect_closed()
        self.expected_violations = 1
        self.assertIn("truncated (5 of 17 bytes)", self.server.wait_for("violation")[0]["reason"])
        self.assert_still_serving()

    def test_game_message_with_overrunning_inner_length_is_dropped(self):
        self.a.game.send(bytes.fromhex("AD 04 80 05 01 02"))
        self.a.game.send(bytes.fromhex("AD 00"))          # no payload field at all
        self.a.game.send(rc.game_message(b"\x01\x02"))     # shorter than any event
        self.expected_violations = 3
        self.server.wait_for("violation", 3)
        self.assert_still_serving()      # same connections keep working


IDLE_PROBE = 0.5
# Seconds from a probe to the idle close: a loaded machine's client answers well within them.
IDLE_CLOSE = IDLE_PROBE + 3.0


class Timers(MatchCase, unittest.TestCase):
    server_args = ("--idle-probe", str(IDLE_PROBE), "--idle-close", str(IDLE_CLOSE), "--partial-timeout", "0.5",
                   "--handshake-timeout", "1.0")

    def test_silent_client_is_probed_then_closed(self):
        client = self.track(rc.RawClient(self.server.lobby_port))
        client.send(rc.CONNECTION)
        client.expect(rc.CONNECT_ACK_ID)
        client.expect_bytes(rc.ALIVE_ZERO)
        client.send(rc.ALIVE_ZERO)           # the client's answer to a probe is not echoed
        client.expect_bytes(rc.ALIVE_ZERO)
        client.expect_closed()

    def test_the_idle_time_counts_from_the_last_message(self):
        client, _, _ = rc.guest(self.server.lobby_port)
        self.track(client)
        talking_until = time.monotonic() + IDLE_CLOSE + 1     # longer than the idle close after opening
        while time.monotonic() < talking_until:
            last_sent = time.monotonic()
            client.send(rc.ALIVE_MINUS_ONE)
            answer = client.recv()
            while answer.data == rc.ALIVE_ZERO:   # a probe, when a busy machine held this loop up
                answer = client.recv()
            self.assertEqual(answer.data, rc.ALIVE_MINUS_ONE)
            time.sleep(0.2)
        client.expect_bytes(rc.ALIVE_ZERO)
        client.expect_closed()
        # The server's silence counts from its reading of the last message, which came after it was sent.
        self.assertGreaterEqual(time.monotonic() - last_sent, IDLE_CLOSE)

    def test_incomplete_message_times_out(self):
        client = self.track(rc.RawClient(self.server.lobby_port))
        client.send(rc.CONNECTION + rc.GUEST_LOGIN[:3])
        client.expect(rc.CONNECT_ACK_ID)
        client.expect_closed()
        self.expected_violations = 1

    def test_connections_that_never_identify_are_closed(self):
        lobby = self.track(rc.RawClient(self.server.lobby_port))
        game = self.track(rc.RawClient(self.server.game_port))
        game.send(rc.ALIVE_MINUS_ONE)
        game.expect_bytes(rc.ALIVE_MINUS_ONE)
        lobby.expect_closed()
        game.expect_closed()


class SlowReader(MatchCase, unittest.TestCase):
    server_args = ("--max-output", "300000", "--drain-timeout", "1.0")

    def test_a_peer_that_does_not_read_is_closed_and_others_go_on(self):
        a, b, _, _ = self.start_match()
        c, d, _, _ = self.start_match()
        big = rc.game_message(bytes(60000))
        stop = threading.Event()

        def flood():   # c sends to d, which never reads
            try:
                while not stop.is_set():
                    c.game.send(big)
            except OSError:
                pass

        flooder = threading.Thread(target=flood)
        flooder.start()
        try:
            a.game.send(rc.game_message(event(25, 1)))
            b.game.expect(rc.GAME_MESSAGE_ID)    # the other session is served meanwhile
            c.game.expect(rc.GAME_DISCONNECT_ID)    # the server gave up on d
        finally:
            stop.set()
            flooder.join(PATIENCE)
        d.game.expect_closed()
        reasons = [v["reason"] for v in self.server.violations()]
        self.assertTrue(reasons and all(r.startswith("output not") for r in reasons), reasons)
        self.expected_violations = len(reasons)

if __name__ == "__main__":
    unittest.main()

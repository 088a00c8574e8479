"""The cap of connections and the share of it that those not logged in may hold: the newer
make room, the older close at their login deadline, and the server goes on serving."""

import contextlib
import select
import signal
import socket
import time
import unittest

from lobbyserver.listener import DESCRIPTOR_MARGIN, REFUSAL_LOG_INTERVAL
from tests import rawclient as rc
from tests.controlclient import ControlClient
from tests.patience import PATIENCE
from tests.test_match import MatchCase, event


def closed_by_peer(sockets, wanted, timeout=PATIENCE, seen=None):
    """Waits until wanted of the sockets have been closed by the server; returns those.
    seen: socket -> time.monotonic() its close was seen at."""
    deadline, closed = time.monotonic() + timeout, set()
    while len(closed) < wanted and time.monotonic() < deadline:
        ready, _, _ = select.select([s for s in sockets if s not in closed], [], [], 0.5)
        for sock in ready:
            try:
                data = sock.recv(4096)
            except ConnectionError:
                data = b""
            if not data:
                closed.add(sock)
                if seen is not None:
                    seen[sock] = time.monotonic()
    return closed


LOGIN_TIME = 6.0     # the tests' --login-timeout
# The share acts at once: within this time, long before LOGIN_TIME could close anything.
SHARE_TIME = 3.0
LATE = 3.0           # how much later than its deadline a busy machine may close a connection
# When a connection not logged in sends something that must not put off its deadline: one that
# did would close it this much later than due, more than LATE.
PUT_OFF = LOGIN_TIME * 2 / 3
ROOM_MADE = "not logged in, room made for a newer connection"


class DescriptorLimit(MatchCase, unittest.TestCase):
    # The server raises its soft limit to the hard one at start.
    server_descriptors = (64, 128)
    server_args = ("--control-port", "0", "--login-timeout", str(LOGIN_TIME))

    def limits(self):
        """The cap of connections, and the half of it that those not logged in may hold."""
        cap = self.server.events("ready")[0]["max_connections"]
        return cap, cap // 2

    def closes(self, count, reason):
        """Waits for count closes for that reason to be logged; returns how many there are."""
        return len(self.server.wait_for("close", count, reason=reason))

    def wait_closed(self, conns):
        """Waits until the server has closed these connections (log names) and freed their slots."""
        for conn in conns:
            self.assertNotEqual(self.server.wait_for("close", conn=conn), [], conn)

    def fill(self, port):
        """Guests logged in until the cap refuses one; returns them."""
        guests = []
        while True:
            client = self.track(rc.RawClient(port))
            try:
                client.send(rc.CONNECTION)
                client.expect_bytes(rc.CONNECT_ACK)
            except (ConnectionError, TimeoutError):
                return guests
            client.send(rc.GUEST_LOGIN)
            client.expect(rc.LOGIN_ACK_ID)
            guests.append(client)

    def test_connections_above_the_cap_are_closed_at_once_and_the_others_are_served(self):
        a, b, _, _ = self.start_match()
        cap, waiting = self.limits()
        self.assertGreater(cap, 64 - DESCRIPTOR_MARGIN)
        port, extra = self.server.lobby_port, 40
        began = time.monotonic()
        # The match holds four of the connections; logged-in players take the rest.
        players = [self.track(rc.guest(port)[0]) for _ in range(cap - 4)]
        flood = [socket.create_connection(("127.0.0.1", p), timeout=PATIENCE)
                 for p in (port,) * extra + (self.server.control_port,) * 4]
        for sock in flood:
            self.addCleanup(sock.close)
        self.assertEqual(len(closed_by_peer(flood, len(flood))), len(flood))
        late = self.track(rc.RawClient(port))
        late.expect_closed()
        # Counted in the log as they happen, not only at the stop.
        self.assertNotEqual(self.server.wait_for("refused"), [])
        payload = event(25, a.id)
        a.game.send(rc.game_message(payload))
        self.assertEqual(b.game.expect(rc.GAME_MESSAGE_ID).fields()[0], payload)
        a.lobby.send(rc.ALIVE_MINUS_ONE)
        a.lobby.expect_bytes(rc.ALIVE_MINUS_ONE)

        # Once the players are gone, a login and a control connection are served again.
        closed = len(self.server.events("close"))
        for client in players:
            client.close()
        self.server.wait_for("close", closed + len(players))
        self.track(rc.guest(port)[0])
        control = ControlClient(self.server.control_port)
        self.addCleanup(control.close)
        self.assertTrue(control.command("connections")["ok"])

        # Idle control connections keep to the share of those not logged in: the newer make
        # room at once, and players take every slot they hold.
        in_use = 6   # the match, the guest, the control connection
        idle = [socket.create_connection(("127.0.0.1", self.server.control_port), timeout=PATIENCE) for _ in range(cap)]
        for sock in idle:
            self.addCleanup(sock.close)
        self.assertEqual(len(closed_by_peer(idle, cap - waiting, SHARE_TIME)), cap - waiting)
        guests = self.fill(port)
        self.assertEqual(len(guests), cap - in_use)
        self.assertEqual(len(closed_by_peer(idle, cap, SHARE_TIME)), cap)
        closed = len(self.server.events("close"))
        for client in guests:
            client.close()
        self.server.wait_for("close", closed + len(guests))
        # Those that never have a command carried out are closed at the deadline; one that did stays.
        seen, opening = {}, time.monotonic()
        stuck = [socket.create_connection(("127.0.0.1", self.server.control_port), timeout=PATIENCE) for _ in range(3)]
        opened = time.monotonic()
        for sock in stuck:
            self.addCleanup(sock.close)
        time.sleep(max(0.0, opened + PUT_OFF - time.monotonic()))
        with contextlib.suppress(OSError):
            stuck[0].sendall(b'{"cmd": "explode"}\n')
        self.assertEqual(len(closed_by_peer(stuck, len(stuck), seen=seen)), len(stuck))
        self.assert_deadline_kept(seen.values(), opening, opened)
        reason = "no command within %.1f s" % LOGIN_TIME
        self.assertEqual(len(self.server.wait_for("control_close", len(stuck), reason=reason)), len(stuck))
        self.assertTrue(control.command("connections")["ok"])

        self.server.proc.send_signal(signal.SIGTERM)
        intervals = (time.monotonic() - began) / REFUSAL_LOG_INTERVAL + 1
        self.assertEqual(self.server.proc.wait(PATIENCE), 0)
        self.assertEqual(self.server.proc.stderr.read(), b"")    # counted in the log, no traceback
        refused = self.server.events("refused")
        self.assertGreaterEqual(sum(r["counts"].get("at_cap", 0) for r in refused), len(flood) + 2)
        # At most the first of an interval's refusals and its end, and one at the stop; a slow
        # machine stretches the test over more intervals.
        self.assertLessEqual(len(refused), 2 * intervals + 1)

    def assert_deadline_kept(self, closes, start, started):
        """The closes (time.monotonic()) came at the login deadline counted from a moment between
        start and started. The server reads the same clock, so a close seen by the test comes
        after its deadline whatever the load; the log's wall-clock times, written after the
        server took its own, would not tell that."""
        self.assertGreaterEqual(min(closes) - start, LOGIN_TIME)
        self.assertLess(max(closes) - started, LOGIN_TIME + LATE)

    def test_connections_not_logged_in_make_room_for_new_ones_and_close_at_the_deadline(self):
        cap, waiting = self.limits()
        port = self.server.lobby_port
        opening = time.monotonic()
        idle = [socket.create_connection(("127.0.0.1", port), timeout=PATIENCE) for _ in range(cap)]
        opened = time.monotonic()
        for sock in idle:
            self.addCleanup(sock.close)
            with contextlib.suppress(OSError):
                sock.sendall(rc.CONNECTION + rc.ALIVE_MINUS_ONE)
        # Those that never logged in hold no more than their share: the newer make room at once.
        gone = closed_by_peer(idle, cap - waiting, SHARE_TIME)
        self.assertEqual(len(gone), cap - waiting)
        # A player filling in the registration form gets the login time again once his name is taken.
        registering = self.track(rc.connected(port))
        registered = time.monotonic()
        first = self.track(rc.guest(port)[0])
        left = [sock for sock in idle if sock not in gone]
        made_room = closed_by_peer(left, 2, SHARE_TIME)   # for the two newer connections
        self.assertEqual(len(made_room), 2)
        left = [sock for sock in left if sock not in made_room]
        time.sleep(max(0.0, registered + LOGIN_TIME / 2 - time.monotonic()))
        registering.send(rc.message(107, rc.text("reggie")))
        key = registering.expect(108).text(1)
        time.sleep(max(0.0, opened + PUT_OFF - time.monotonic()))
        for sock in left:     # an Alive now and then does not keep them
            with contextlib.suppress(OSError):
                sock.sendall(rc.ALIVE_MINUS_ONE)
        seen = {}
        self.assertEqual(len(closed_by_peer(left, len(left), seen=seen)), len(left))
        self.assert_deadline_kept(seen.values(), opening, opened)
        time.sleep(max(0.0, registered + LOGIN_TIME + 1 - time.monotonic()))    # past the first deadline
        registering.send(rc.message(109, rc.text("reggie"), rc.text(""), rc.text(rc.md5_hash("pw", key)),
                                    rc.integer(0), rc.text(""), rc.text("")))
        self.assertEqual(registering.expect(110).int(0), 0)
        registering.close()
        self.wait_closed([self.server.wait_for("in", name="ConfirmEmail")[0]["conn"]])

        # Slots of those closed for room are free again, and no more than the cap is served.
        players = [first] + self.fill(port)
        self.assertEqual(len(players), cap)
        # Connections that logged out are not logged in again: within the share...
        made_room = self.closes(0, ROOM_MADE)
        time.sleep(LOGIN_TIME / 3)   # a deadline counted from the opening would come seconds early
        logging_out = time.monotonic()
        for player in players:
            player.send(rc.LOGOUT)
        logged_out = time.monotonic()
        sockets = [player.sock for player in players]
        gone = closed_by_peer(sockets, cap - waiting, SHARE_TIME)
        self.assertEqual(len(gone), cap - waiting)
        self.track(rc.guest(port)[0])
        again = players[-1]
        again.send(rc.GUEST_LOGIN)
        again.expect(rc.LOGIN_ACK_ID)
        # ... and closed at the deadline, counted from the logout, unless logged in again.
        left = [sock for sock in sockets if sock not in gone and sock is not again.sock]
        room = closed_by_peer(left, 1, SHARE_TIME)   # for the newer guest
        self.assertEqual(len(room), 1)
        left = [sock for sock in left if sock not in room]
        seen = {}
        self.assertEqual(len(closed_by_peer(left, len(left), seen=seen)), len(left))
        self.assert_deadline_kept(seen.values(), logging_out, logged_out)
        self.assertEqual(self.closes(made_room + cap - waiting + 1, ROOM_MADE), made_room + cap - waiting + 1)
        self.assertEqual(self.closes(2 * waiting - 4, "no login within %.1f s" % LOGIN_TIME), 2 * waiting - 4)
        again.send(rc.ALIVE_MINUS_ONE)
        again.expect_bytes(rc.ALIVE_MINUS_ONE)


if __name__ == "__main__":
    unittest.main()

"""--probe HOST:PORT: whether a lobby server answers there, as the run script asks it."""

import socket
import subprocess
import sys
import threading
import unittest

from tests.patience import PATIENCE
from tests.serverproc import SERVER, ServerProcess, ServerTestCase


def run_probe(port, host="127.0.0.1"):
    done = subprocess.run([sys.executable, SERVER, "--probe", "%s:%d" % (host, port)],
                          capture_output=True, text=True, timeout=PATIENCE)
    return done.returncode, done.stdout + done.stderr


class OtherService:
    """A listener on a loopback port that is not a lobby server: it reads what the probe
    sends and then answers with the given bytes (None: says nothing) and closes."""

    def __init__(self, answer):
        self.answer = answer
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.sock.bind(("127.0.0.1", 0))
        self.sock.listen(1)
        self.port = self.sock.getsockname()[1]
        self.received = b""
        self.thread = threading.Thread(target=self._serve, daemon=True)
        self.thread.start()

    def _serve(self):
        conn, _ = self.sock.accept()
        with conn:
            conn.settimeout(PATIENCE)
            self.received = conn.recv(4096)
            if self.answer is not None:
                conn.sendall(self.answer)

    def close(self):
        self.thread.join(PATIENCE)
        self.sock.close()


class ProbeOfALobbyServer(ServerTestCase, unittest.TestCase):
    def test_a_running_server_answers_and_logs_no_violation(self):
        status, text = run_probe(self.server.lobby_port)
        self.assertEqual(status, 0, text)
        self.assertIn("ConnectACK result 0", text)
        # The probe's Connection went through the server's strict checks (see _finish).
        self.assertEqual(len(self.server.wait_for("close", conn="L1")), 1)

    def test_the_game_port_is_not_a_lobby(self):
        status, text = run_probe(self.server.game_port)
        self.assertEqual(status, 3, text)
        self.expected_violations = len(self.server.wait_for("violation", conn="G1"))


class ProbeOfARedirectingServer(unittest.TestCase):
    def test_a_redirect_is_still_a_lobby_server(self):
        server = ServerProcess("--redirect", "10.0.0.1:5000")
        self.addCleanup(server.stop)
        status, text = run_probe(server.lobby_port)
        self.assertEqual(status, 0, text)
        self.assertIn("ConnectACK result -3", text)


class ProbeOfSomethingElse(unittest.TestCase):
    def test_nothing_listening_is_status_1(self):
        # A bound socket that does not listen: connections to its port are refused.
        with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as sock:
            sock.bind(("127.0.0.1", 0))
            status, text = run_probe(sock.getsockname()[1])
        self.assertEqual(status, 1, text)
        self.assertIn("no lobby server at 127.0.0.1:", text)

    def test_port_out_of_range_is_status_1_with_the_reason(self):
        for port in (0, 65536, 70000):
            status, text = run_probe(port)
            self.assertEqual((status, text.strip()), (1, "lobby server probe: no lobby server at "
                                                      "127.0.0.1:%d: not a port number" % port))

    def test_other_services_are_status_3_with_the_reason(self):
        cases = [
            (b"SSH-2.0-OpenSSH_9.2\r\n", "not a message of the lobby protocol"),
            (None, "closed the connection without an answer"),
            (bytes.fromhex("BF 2C 03 80 01 FF"), "message 44, not a ConnectACK"),   # Alive
            (bytes.fromhex("A2 03 80 01 00"), "ConnectACK has no result"),
            (bytes.fromhex("A2 0A 80 00 81"), "closed the connection without an answer"),  # cut off
        ]
        for answer, reason in cases:
            with self.subTest(answer=answer):
                other = OtherService(answer)
                status, text = run_probe(other.port)
                other.close()
                self.assertEqual(status, 3, text)
                self.assertIn("is not a lobby server", text)
                self.assertIn(reason, text)
                self.assertEqual(other.received[:1], b"\xA0", "the probe sent a Connection")


if __name__ == "__main__":
    unittest.main()

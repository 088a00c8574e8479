#!/usr/bin/env python3
"""How long one registration and a concurrent guest login take with a large account store,
and how long account logins take while many clients play and chat.

    python3 tools/lobby_server/loadtest.py [--accounts 100000] [--registrations 100]
    python3 tools/lobby_server/loadtest.py --accounts 100000 --clients 200 [--seconds 30]

Writes a JSON store of that many accounts into a temporary folder, starts the server on it
(which reads the store in), then registers new accounts one after another while a second
client logs in as a guest again and again, and prints the median and 90th percentile of both.
With --clients, instead that many clients (in a few processes) each log in to a random
stored account of its own (no two clients share one, so that no login waits on the
one-session rule), play quick matches against each other and chat in them, over and over, and
the median, 99th percentile and maximum of the account logins (Login to LoginACK) are printed.
A benchmark, not a test: the figures depend on the machine.
"""

import argparse
import asyncio
import json
import multiprocessing
import os
import random
import socket
import statistics
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, ROOT)

from lobbyserver.lobby import LOGIN_PROBE  # noqa: E402
from tests import rawclient as rc  # noqa: E402


LOG_KEPT_WHOLE = 1 << 40   # bytes: the log of a run is read whole afterwards, never moved aside


def write_store(path, count):
    accounts = {"load%06d" % i: {"key": "k%d" % i, "hash": "%032x" % i} for i in range(count)}
    with open(path, "w", encoding="utf-8") as f:
        json.dump({"version": 1, "accounts": accounts}, f)


def start_server(store, log):
    proc = subprocess.Popen([sys.executable, os.path.join(ROOT, "server.py"), "--port", "0", "--game-port", "0",
                             "--accounts", store, "--log", log, "--exit-with-stdin",
                             "--log-max-bytes", str(LOG_KEPT_WHOLE)],
                            stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    line = proc.stdout.readline()
    if not line:
        raise SystemExit("the server did not start")
    return proc, json.loads(line)["lobby_port"]


def register(client, name):
    """Milliseconds from ConfirmEmail to its answer."""
    client.send(rc.message(107, rc.text(name)))
    key = client.expect(108, timeout=60).text(1)
    request = rc.message(109, rc.text(name), rc.text(""), rc.text(rc.md5_hash("pw", key)), rc.integer(0),
                         rc.text(""), rc.text(""))
    start = time.perf_counter()
    client.send(request)
    if client.expect(110, timeout=60).int(0) != 0:
        raise SystemExit("registration of %s refused" % name)
    return (time.perf_counter() - start) * 1000


def guest_login(port):
    """Milliseconds from a guest's Login to its answer."""
    client = rc.connected(port)
    start = time.perf_counter()
    client.send(rc.GUEST_LOGIN)
    client.expect(rc.LOGIN_ACK_ID, timeout=60)
    spent = (time.perf_counter() - start) * 1000
    client.close()
    return spent


def guest_logins(port, stop, times):
    while not stop.is_set():
        times.append(guest_login(port))


CHAT_LINES = (5, 15)     # lines each player writes in a match, at random in this range
CHAT_INTERVAL = 0.5      # seconds between them: within the server's chat allowance
WAIT = 10.0              # seconds a step may take before the client gives up on its match


class AsyncClient:
    """The tests' raw codec on an asyncio stream."""

    @classmethod
    async def open(cls, port, host="127.0.0.1"):
        self = cls()
        self.reader, self.writer = await asyncio.open_connection(host, port)
        self.writer.get_extra_info("socket").setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        self.buf = b""
        return self

    def send(self, data):
        self.writer.write(data)

    async def recv(self):
        while True:
            total = rc.total_length(self.buf) if self.buf else None
            if total is not None and len(self.buf) >= total:
                data, self.buf = self.buf[:total], self.buf[total:]
                return rc.Message(data)
            chunk = await self.reader.read(65536)
            if not chunk:
                raise ConnectionError("closed by the server")
            self.buf += chunk

    async def expect(self, msg_id):
        """The next message of msg_id; others (the opponent's chat, say) are passed over."""
        while True:
            msg = await asyncio.wait_for(self.recv(), WAIT)
            if msg.id == msg_id:
                return msg

    async def drain_all(self):
        try:
            while True:
                await self.recv()
        except (ConnectionError, OSError):
            pass

    def close(self):
        self.writer.close()


async def play_once(port, own, rng, logins):
    """One login to a random stored account of the client's own, one quick match with chat,
    then both closed."""
    index = rng.choice(own)
    name = "load%06d" % index
    lobby = game = None
    try:
        lobby = await AsyncClient.open(port)
        lobby.send(rc.CONNECTION)
        await lobby.expect(rc.CONNECT_ACK_ID)
        lobby.send(rc.get_random_key(name))
        await lobby.expect(rc.RANDOM_KEY_ID)
        start = time.perf_counter()
        lobby.send(rc.login(name, "%032x" % index))
        user_id = (await lobby.expect(rc.LOGIN_ACK_ID)).int(0)
        logins.append((start, (time.perf_counter() - start) * 1000))
        if user_id <= 0:
            raise SystemExit("login of %s refused" % name)
        lobby.send(rc.QUEUE_LOBBY)
        game_start = await lobby.expect(rc.GAME_START_ID)
        host, _, game_port = game_start.text(4).partition(":")
        game = await AsyncClient.open(int(game_port), host)
        lobby.send(rc.GROUPS_401)
        await lobby.expect(93)
        lobby.send(rc.ITEMS_401)
        await lobby.expect(97)
        game.send(rc.game_ready(game_start.long(0), user_id, game_start.int(2)))
        await game.expect(rc.GAME_START_ID)
        reading = asyncio.ensure_future(game.drain_all())
        for n in range(rng.randint(*CHAT_LINES)):
            game.send(rc.chat(2, "line %d of a load test chat" % n, user_id))
            await asyncio.sleep(CHAT_INTERVAL)
        reading.cancel()
    except (asyncio.TimeoutError, ConnectionError, OSError):
        pass    # the opponent went first, or never came: the next round starts afresh
    finally:
        for client in (game, lobby):
            if client is not None:
                client.close()


async def play_for(port, accounts, players, total, seconds, seed):
    """players: the numbers of this process's clients among total; client n logs in to
    the accounts n, n + total, n + 2 total and so on."""
    rng = random.Random(seed)
    logins = []
    deadline = time.monotonic() + seconds

    async def player(own):
        # Spread over a match's length, so that the logins do not come in waves.
        await asyncio.sleep(rng.uniform(0, CHAT_LINES[1] * CHAT_INTERVAL))
        while time.monotonic() < deadline:
            await play_once(port, own, rng, logins)

    await asyncio.gather(*(player(range(n, accounts, total)) for n in players))
    return logins


def _worker(job):
    return asyncio.run(play_for(*job))


def chat_load(port, accounts, clients, seconds, processes=4):
    """(perf_counter at the Login, milliseconds to its answer) of each account login of
    clients that play and chat for that many seconds."""
    if accounts < clients:
        raise SystemExit("each client needs an account of its own: --accounts %d < --clients %d" % (accounts, clients))
    jobs = [(port, accounts, range(i, clients, processes), clients, seconds, i) for i in range(processes)]
    with multiprocessing.get_context("fork").Pool(processes) as pool:
        return [t for times in pool.map(_worker, jobs) for t in times]


def sessions_met(log):
    """Logins the server asked another session of the same account about (its probe)."""
    with open(log, encoding="utf-8") as f:
        records = (json.loads(line) for line in f if '"Alive"' in line)
        return sum(r["event"] == "out" and r["fields"] == {"value": LOGIN_PROBE} for r in records)


def summary(name, times):
    times = sorted(times)
    return "%s: %d, median %.2f ms, 90th percentile %.2f ms" % (
        name, len(times), statistics.median(times), times[int(len(times) * 0.9)])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--accounts", type=int, default=100000)
    parser.add_argument("--registrations", type=int, default=100)
    parser.add_argument("--clients", type=int, default=0,
                        help="clients logging in, playing and chatting (instead of registrations)")
    parser.add_argument("--seconds", type=float, default=30.0, help="how long the clients play")
    args = parser.parse_args()
    with tempfile.TemporaryDirectory(prefix="lobby-load-") as folder:
        store = os.path.join(folder, "accounts.json")
        write_store(store, args.accounts)
        started = time.perf_counter()
        log = os.path.join(folder, "server.log")
        proc, port = start_server(store, log)
        print("%d stored accounts; the server was ready after %.1f s" % (args.accounts, time.perf_counter() - started))
        try:
            if args.clients:
                logins = sorted(ms for _at, ms in chat_load(port, args.accounts, args.clients, args.seconds))
                print("account logins of %d clients playing and chatting for %.0f s: %d, median %.2f ms, "
                      "99th percentile %.2f ms, maximum %.2f ms; %d met another session of their account" % (
                          args.clients, args.seconds, len(logins), statistics.median(logins),
                          logins[int(len(logins) * 0.99)], logins[-1], sessions_met(log)))
                return
            idle = [guest_login(port) for _ in range(50)]
            stop = threading.Event()
            logins = []
            guests = threading.Thread(target=guest_logins, args=(port, stop, logins))
            guests.start()
            client = rc.connected(port)
            registrations = [register(client, "new%06d" % i) for i in range(args.registrations)]
            stop.set()
            guests.join()
            client.close()
            print(summary("guest logins while idle", idle))
            print(summary("registrations", registrations))
            print(summary("guest logins while registering", logins))
        finally:
            proc.stdin.close()
            proc.wait(30)


if __name__ == "__main__":
    main()

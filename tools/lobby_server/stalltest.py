#!/usr/bin/env python3
"""How long the heaviest request of each kind holds the server: another client's echo delay
while one player sends it, with its targets reading their connections and with them not reading.

    python3 tools/lobby_server/stalltest.py [--accounts 10000] [--repeat 5]

Starts the server on loopback with a store of that many accounts (each with a few matches and
follows) and a small shop, logs in the players each request names, and sends each request
--repeat times while a guest echoes Alive as fast as the server answers. Prints, per request,
the worst and the median echo delay in milliseconds, and the bytes its targets were sent over all repeats.
A benchmark, not a test: the figures depend on the machine.
"""

import argparse
import json
import os
import select
import statistics
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, ROOT)

from tests import rawclient as rc  # noqa: E402
from tests.shopcase import write_catalogue  # noqa: E402

COPIES = 16000              # one id this many times: the largest list a frame holds
TARGETS = 42                # players the challenges and gifts name
SMALL_RECEIVE_BUFFER = 4096  # bytes: a target that does not read fills this and stops
ALIVE = rc.message(44, rc.integer(-1))


def write_store(path, count):
    stamp = int(time.time())
    accounts = {}
    for i in range(count):
        accounts["load%06d" % i] = {
            "key": "k%d" % i, "hash": "%032x" % i,
            "follows": ["load%06d" % ((i + n) % count) for n in (1, 2, 3)],
            "matches": [{"opponent": "load%06d" % ((i + 1) % count), "result": r, "points": 3 * (r == 1),
                         "time": stamp - n} for n, r in enumerate((1, -1, 0, 1))]}
    with open(path, "w", encoding="utf-8") as f:
        json.dump({"version": 1, "accounts": accounts}, f)


def start_server(folder, accounts):
    store = os.path.join(folder, "accounts.json")
    write_store(store, accounts)
    catalogue = write_catalogue(folder)
    proc = subprocess.Popen([sys.executable, os.path.join(ROOT, "server.py"), "--port", "0", "--game-port", "0",
                             "--accounts", store, "--catalogue", catalogue, "--log", os.devnull,
                             "--exit-with-stdin"], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    line = proc.stdout.readline()
    if not line:
        raise SystemExit("the server did not start")
    return proc, json.loads(line)["lobby_port"]


class Echo(threading.Thread):
    """A guest that sends Alive and waits for its echo, over and over; notes each delay."""

    def __init__(self, port):
        super().__init__(daemon=True)
        self.client, _id, _name = rc.guest(port)
        self.delays = []
        self.running = True

    def run(self):
        while self.running:
            start = time.perf_counter()
            self.client.send(ALIVE)
            self.client.expect_bytes(ALIVE, timeout=60)
            self.delays.append(time.perf_counter() - start)

    def stop(self):
        self.running = False
        self.join()
        self.client.close()


class Drain(threading.Thread):
    """Reads the targets' connections as a game does; counts the bytes."""

    def __init__(self, clients):
        super().__init__(daemon=True)
        self.socks = [c.sock for c in clients]
        self.bytes = 0
        self.running = True

    def run(self):
        while self.running:
            ready, _, _ = select.select(self.socks, [], [], 0.05)
            for sock in ready:
                try:
                    self.bytes += len(sock.recv(1 << 20))
                except OSError:
                    self.socks.remove(sock)


def requests(target_ids, item_ids):
    first = target_ids[0]
    make = lambda ids: rc.message(38, rc.integer(64), rc.int_list(ids), rc.text(""), tags={1: 0xA1})  # noqa: E731
    return [
        ("MakeChallenge, one id %d times" % COPIES, make([first] * COPIES)),
        ("MakeChallenge, %d players" % len(target_ids), make(target_ids)),
        ("GetTournamentScores, one id %d times" % COPIES, rc.message(14, rc.int_list([first] * COPIES),
                                                                    rc.integer(2), rc.integer(1))),
        ("GetTournamentScores, 100 players", rc.message(14, rc.int_list(list(range(1000, 1100))),
                                                       rc.integer(2), rc.integer(1))),
        ("ListPlayers, all, 100 rows", rc.message(19, rc.integer(0), rc.integer(0), rc.integer(100), rc.text(""),
                                                  rc.integer(0), rc.integer(0))),
        ("ListPlayers, all, header", rc.message(19, rc.integer(0), rc.integer(-1), rc.integer(0), rc.text(""),
                                                rc.integer(0), rc.integer(0))),
        ("ListPlayers, followed, 100 rows", rc.message(19, rc.integer(64), rc.integer(0), rc.integer(100),
                                                       rc.text(""), rc.integer(0), rc.integer(0))),
        ("GetLatestGameSessions", rc.message(74, rc.integer(64), rc.integer(6))),
        ("GetAchievementList", rc.message(10, rc.integer(0), rc.integer(5), rc.integer(0), rc.integer(64))),
        ("GetShopItems, 100 rows", rc.message(96, rc.integer(0), rc.integer(100), rc.integer(0))),
        ("GetShopItemImage, one id %d times" % COPIES, rc.message(99, rc.int_list([item_ids[0]] * COPIES),
                                                                 rc.integer(1))),
        ("GetShopItemImage, 40 ids", rc.message(99, rc.int_list((item_ids * 40)[:40]), rc.integer(1))),
        ("ConfirmBuyItem, gift to %d players" % len(target_ids),
         rc.message(104, rc.integer(item_ids[0]), rc.integer(1), rc.int_list(target_ids))),
        ("ConfirmBuyPlayerItems, one item %d times" % COPIES,
         rc.message(115, rc.integer(first), rc.integer(0), rc.int_list([item_ids[0]] * COPIES))),
        ("GetPossibleGiftItems", rc.message(113, rc.integer(first))),
    ]


def measure(port, reading, repeat):
    targets = []
    for _ in range(TARGETS):
        client = rc.RawClient(port, receive_buffer=None if reading else SMALL_RECEIVE_BUFFER)
        client.send(rc.CONNECTION)
        client.expect_bytes(rc.CONNECT_ACK)
        client.send(rc.GUEST_LOGIN)
        targets.append((client, client.expect(rc.LOGIN_ACK_ID).int(0)))
    sender, _id, _name = rc.guest(port)
    drain = Drain([c for c, _ in targets])
    if reading:
        drain.start()
    echo = Echo(port)
    echo.start()
    rows = []
    for name, request in requests([uid for _, uid in targets], [11, 12, 21, 31]):
        worst, medians, before = 0.0, [], drain.bytes
        for _ in range(repeat):
            echo.delays.clear()
            sender.send(request + ALIVE)
            while True:   # what it sent back, then the echo that comes after it
                if sender.recv(timeout=120).data == ALIVE:
                    break
            time.sleep(0.05)   # a few more echoes after the request was handled
            worst = max(worst, max(echo.delays))
            medians.append(statistics.median(echo.delays))
        sent = drain.bytes - before   # over every repeat: a challenge shown already is not sent again
        rows.append((name, worst * 1000, statistics.median(medians) * 1000, sent if reading else None))
    echo.stop()
    drain.running = False
    for client, _ in targets:
        client.close()
    sender.close()
    return rows


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--accounts", type=int, default=10000)
    parser.add_argument("--repeat", type=int, default=5)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory(prefix="lobby-stall-") as folder:
        proc, port = start_server(folder, args.accounts)
        try:
            for reading in (True, False):
                print("targets %s; %d stored accounts" % ("reading" if reading else "not reading", args.accounts))
                for name, worst, median, sent in measure(port, reading, args.repeat):
                    print("  %-45s worst %7.1f ms  median %6.1f ms%s" % (
                        name, worst, median, "" if sent is None else "  targets got %d bytes" % sent))
        finally:
            proc.stdin.close()
            proc.wait(60)


if __name__ == "__main__":
    main()

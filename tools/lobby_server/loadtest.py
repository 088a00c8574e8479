#!/usr/bin/env python3
"""How long one registration and a concurrent guest login take with a large account store.

    python3 tools/lobby_server/loadtest.py [--accounts 100000] [--registrations 100]

Writes a JSON store of that many accounts into a temporary folder, starts the server on it
(which reads the store in), then registers new accounts one after another while a second
client logs in as a guest again and again, and prints the median and 90th percentile of both.
A benchmark, not a test: the figures depend on the machine.
"""

import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, ROOT)

from tests import rawclient as rc  # noqa: E402


def write_store(path, count):
    accounts = {"load%06d" % i: {"key": "k%d" % i, "hash": "%032x" % i} for i in range(count)}
    with open(path, "w", encoding="utf-8") as f:
        json.dump({"version": 1, "accounts": accounts}, f)


def start_server(store, log):
    proc = subprocess.Popen([sys.executable, os.path.join(ROOT, "server.py"), "--port", "0", "--game-port", "0",
                             "--accounts", store, "--log", log, "--exit-with-stdin"],
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


def summary(name, times):
    times = sorted(times)
    return "%s: %d, median %.2f ms, 90th percentile %.2f ms" % (
        name, len(times), statistics.median(times), times[int(len(times) * 0.9)])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--accounts", type=int, default=100000)
    parser.add_argument("--registrations", type=int, default=100)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory(prefix="lobby-load-") as folder:
        store = os.path.join(folder, "accounts.json")
        write_store(store, args.accounts)
        started = time.perf_counter()
        proc, port = start_server(store, os.path.join(folder, "server.log"))
        print("%d stored accounts; the server was ready after %.1f s" % (args.accounts, time.perf_counter() - started))
        try:
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

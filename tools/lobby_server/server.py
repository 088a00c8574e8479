#!/usr/bin/env python3
"""Lobby and game server for local play and tests: python3 server.py --port 5000"""

import argparse
import asyncio
import os
import signal
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from lobbyserver.accounts import StoreError  # noqa: E402
from lobbyserver.app import Config, serve  # noqa: E402
from lobbyserver.eventlog import LOG_KEPT, RotatingFile  # noqa: E402
from lobbyserver.packs import PackError  # noqa: E402
from lobbyserver.probe import probe  # noqa: E402
from lobbyserver.shopcatalogue import CatalogueError  # noqa: E402


def _account(text):
    name, sep, password = text.partition(":")
    if not sep or not name:
        raise argparse.ArgumentTypeError("expected NAME:PASSWORD")
    return name, password


def _host_port(text):
    host, sep, port = text.partition(":")
    if not sep or not host or not port.isdigit():
        raise argparse.ArgumentTypeError("expected HOST:PORT")
    return text


def _positive(text):
    try:
        value = float(text)
    except ValueError:
        value = 0.0
    if not value > 0:
        raise argparse.ArgumentTypeError("expected a number above 0")
    return value


def _relay_faults(text):
    parts = text.split(",")
    try:
        drop, duplicate, seed = float(parts[0]), float(parts[1]), int(parts[2])
    except (ValueError, IndexError):
        raise argparse.ArgumentTypeError("expected DROP,DUPLICATE,SEED") from None
    if len(parts) != 3 or not (0 <= drop <= 1 and 0 <= duplicate <= 1 and drop + duplicate <= 1):
        raise argparse.ArgumentTypeError("expected DROP,DUPLICATE,SEED with shares in 0..1 summing to at most 1")
    return drop, duplicate, seed


def _parser():
    d = Config()
    p = argparse.ArgumentParser(description="Lobby and game server of the client's protocol.")
    p.add_argument("--host", default=d.host,
                   help="listen address (0.0.0.0 for the LAN; default %(default)s)")
    p.add_argument("--port", type=int, default=d.port, help="lobby port, 0 for any (default %(default)s)")
    p.add_argument("--game-port", type=int, default=d.game_port, help="game port, 0 for any (default %(default)s)")
    p.add_argument("--advertise-host", default=d.advertise_host,
                   help="game host sent to clients in GameStart (default %(default)s)")
    p.add_argument("--release", type=int, default=d.release, help="release number in ConnectACK")
    p.add_argument("--accounts", metavar="FILE", help="JSON account store (created when missing)")
    p.add_argument("--account", metavar="NAME:PASSWORD", type=_account, action="append", default=[],
                   dest="seed_accounts", help="make sure this account exists (repeatable)")
    p.add_argument("--log", metavar="FILE", help="JSON-lines log file (default: standard output)")
    p.add_argument("--log-max-bytes", type=int, default=d.log_max_bytes,
                   help="size at which the log file moves to FILE.1 (%d older parts kept; default %%(default)s)"
                   % LOG_KEPT)
    p.add_argument("--strict", action="store_true",
                   help="report every encoding the client's writers would not produce")
    p.add_argument("--redirect", metavar="HOST:PORT", type=_host_port,
                   help="answer every Connection with a redirect to HOST:PORT")
    p.add_argument("--master", choices=("first", "second"), default="first",
                   help="which of two paired players starts as master (default: the earlier joiner)")
    p.add_argument("--first-user-id", type=int, default=d.first_user_id)
    for name, help_text in (("idle-probe", "seconds of client silence before an Alive probe"),
                            ("idle-close", "seconds of client silence before closing"),
                            ("partial-timeout", "seconds a started message may stay incomplete"),
                            ("handshake-timeout", "seconds to the first Connection or GameReady"),
                            ("login-timeout", "seconds from opening or a logout to a login (lobby), from opening "
                                              "to GameReady (game) or a first command (control)"),
                            ("redirect-close", "seconds a redirected connection stays open"),
                            ("drain-timeout", "seconds a client may leave its output unread"),
                            ("abandon-timeout", "seconds without game traffic before a session ends")):
        attr = name.replace("-", "_")
        p.add_argument("--" + name, type=float, default=getattr(d, attr),
                       help=help_text + " (default %(default)s)")
    p.add_argument("--max-output", type=int, default=d.max_output,
                   help="bytes queued per connection before closing it")
    p.add_argument("--control-port", type=int, default=None,
                   help="port of the tests' control channel on 127.0.0.1, 0 for any (default: none)")
    p.add_argument("--queue-updates", action="store_true",
                   help="send QueueUpdate to both paired players before their GameStart")
    p.add_argument("--chat-rate", type=_positive, default=d.chat_rate,
                   help="chat lines a second relayed per game connection (after a short burst); "
                        "more are dropped and logged (default %(default)s)")
    p.add_argument("--relay-rate", type=_positive, default=d.relay_rate,
                   help="game messages a second relayed per game connection (after a burst of one "
                        "second's worth); more are dropped and counted in the log (default %(default)s)")
    p.add_argument("--relay-faults", metavar="DROP,DUPLICATE,SEED", type=_relay_faults,
                   help="drop each relayed GameMessage with share DROP, else relay it twice with "
                        "share DUPLICATE, per direction from a generator seeded with SEED")
    p.add_argument("--language-dir", metavar="DIR",
                   help="language packs <base>_<code>.kmp offered to clients (default: none)")
    p.add_argument("--theme-dir", metavar="DIR", help="folder of the theme pack vorntheme_<name>.kmp")
    p.add_argument("--theme", metavar="NAME", help="theme sent to clients whose theme digest differs")
    p.add_argument("--catalogue", metavar="FILE",
                   help="shop catalogue (JSON): groups, items, item data files, coins, promotions")
    p.add_argument("--capture", metavar="DIR",
                   help="append every connection's bytes to DIR/<conn>-in.bin and DIR/<conn>-out.bin")
    p.add_argument("--exit-with-stdin", action="store_true",
                   help="stop when standard input ends (a starter that passes a pipe and dies ends it)")
    p.add_argument("--probe", metavar="HOST:PORT", type=_host_port,
                   help="start no server: send a Connection to HOST:PORT and exit 0 when a ConnectACK "
                        "comes back, 1 when nothing listens there, 3 when something else answers")
    return p


def _config(args):
    cfg = Config(**{f: getattr(args, f) for f in Config.__dataclass_fields__
                    if f not in ("master_slot", "max_frame", "max_payload", "max_chat")})
    cfg.master_slot = 0 if args.master == "first" else 1
    return cfg


def parse_args(argv):
    return _config(_parser().parse_args(argv))


def main(argv=None):
    args = _parser().parse_args(sys.argv[1:] if argv is None else argv)
    if args.probe:
        host, _, port = args.probe.rpartition(":")
        status, text = probe(host, int(port))
        print("lobby server probe: %s" % text, file=sys.stdout if status == 0 else sys.stderr)
        return status
    cfg = _config(args)
    # The state folder holds the accounts, their mail and the log: readable by the owner only.
    os.umask(0o077)
    log_stream = RotatingFile(cfg.log, cfg.log_max_bytes) if cfg.log else sys.stdout
    loop = asyncio.new_event_loop()
    try:
        server = loop.run_until_complete(serve(cfg, log_stream, (signal.SIGINT, signal.SIGTERM)))
    except (StoreError, PackError, CatalogueError) as err:
        print("lobby server: %s" % err, file=sys.stderr)
        return 2
    except OSError as err:
        print("lobby server: cannot listen: %s" % err, file=sys.stderr)
        return 2
    finally:
        loop.close()
    # In strict mode a run with violations ends unsuccessfully, for scripts that start it.
    return 3 if cfg.strict and server.log.violations else 0


if __name__ == "__main__":
    sys.exit(main())

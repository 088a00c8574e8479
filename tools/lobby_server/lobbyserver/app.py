"""The server process: configuration, the two listeners and their connections."""

import asyncio
import dataclasses
import gc
import itertools
import json
import os
import sys
import time
import traceback

from .accounts import BUSY_TIMEOUT, FIRST_USER_ID, AccountStore
from .connection import Connection, StampedReader
from .control import ControlService
from .eventlog import LOG_MAX_BYTES, EventLog
from .game import GameService
from .listener import DESCRIPTOR_MARGIN, ConnectionBudget, Listener, open_descriptors, raise_descriptor_limit
from .lobby import LobbyService
from .mail import clear_orphans
from .packs import load_languages, load_theme
from .shopcatalogue import Catalogue, load_catalogue
from .wire import MAX_FRAME, MAX_GAME_PAYLOAD

SHUTDOWN_GRACE = 3.0   # seconds the closed connections get to finish their handlers at a stop
ANSWER_MARGIN = 1.0    # seconds past a request's store deadline a stop waits for its answer


@dataclasses.dataclass
class Config:
    host: str = "127.0.0.1"
    port: int = 5000
    game_port: int = 5001
    advertise_host: str = "127.0.0.1"
    release: int = 1
    accounts: str = None
    seed_accounts: list = dataclasses.field(default_factory=list)   # (name, password)
    log: str = None
    log_max_bytes: int = LOG_MAX_BYTES
    capture: str = None             # folder for every connection's bytes in and out (fuzz seeds)
    exit_with_stdin: bool = False   # stop when standard input (a pipe from the starter) ends
    strict: bool = False
    redirect: str = None
    master_slot: int = 0
    first_user_id: int = FIRST_USER_ID
    idle_probe: float = 60.0
    idle_close: float = 120.0
    partial_timeout: float = 30.0
    handshake_timeout: float = 60.0
    login_timeout: float = 60.0     # to a login (lobby; also from a logout), GameReady (game), a command (control)
    redirect_close: float = 30.0
    drain_timeout: float = 20.0
    abandon_timeout: float = 600.0
    max_output: int = 1 << 20
    control_port: int = None      # None: no control listener
    queue_updates: bool = False
    chat_rate: float = 4.0        # chat lines a second relayed per game connection; more are dropped
    # Game messages a second relayed per game connection, after a burst of one second's worth.
    # A real match sends a few a second; the game takes in at most 128 a second and answers
    # a flood no faster, so twice that leaves a player answering one room for his own moves.
    relay_rate: float = 256.0
    relay_faults: tuple = None    # (drop share, duplicate share, seed); None: faithful relay
    language_dir: str = None      # None: GetAvailableLanguages is not answered
    theme_dir: str = None
    theme: str = None
    catalogue: str = None         # None: an empty shop, no item data, no promotions
    max_frame: int = MAX_FRAME
    max_payload: int = MAX_GAME_PAYLOAD
    max_chat: int = 1000


class Server:
    def __init__(self, cfg, log_stream):
        self.cfg = cfg
        self.log = EventLog(log_stream)
        # A write whose caller stopped waiting (a stop cancels the tries of match results)
        # still runs; its failure goes to the log like any other.
        self.accounts = AccountStore(cfg.accounts, cfg.first_user_id,
                                     lambda error: self.log.write("store_error", error=str(error)))
        # Read before listening: a pack that cannot be served stops the start (PackError).
        self.language_packs = (load_languages(cfg.language_dir, cfg.max_output)
                               if cfg.language_dir is not None else None)
        self.theme_pack = load_theme(cfg.theme_dir, cfg.theme, cfg.max_output)
        self.catalogue = load_catalogue(cfg.catalogue) if cfg.catalogue else Catalogue()
        self.lobby = LobbyService(self)
        self.games = GameService(self)
        self.control = ControlService(self) if cfg.control_port is not None else None
        self.lobby_port = None
        self.game_port = None
        self.control_port = None
        self.connections = {}    # log name -> open Connection, for the control channel
        self.holds = set()       # message ids held on every connection
        self._numbers = {"L": itertools.count(1), "G": itertools.count(1)}
        self._tasks = set()
        self._servers = []
        self._lobby_server = None
        self.stopping = False    # no new pairings while the connections close

    def _accept(self, kind, service):
        async def handle(reader, writer):
            conn = Connection(self, kind, next(self._numbers[kind]), reader, writer, service)
            task = asyncio.current_task()
            self._tasks.add(task)
            self.connections[conn.name] = conn
            try:
                await conn.run()
            except asyncio.CancelledError:
                # Only a stop cancels it, and a handler that ends cancelled makes asyncio's
                # stream callback print a traceback: end it like any other.
                pass
            except Exception:   # a fault in one connection's handling must not reach the others
                self.log.write("internal_error", conn=conn.name, trace=traceback.format_exc())
            finally:
                self._tasks.discard(task)
                self.connections.pop(conn.name, None)
                conn.close(conn.close_reason or "done", abort=True)
                self.budget.closed(conn)
                # The service's record and the connection point at each other: parted, a
                # connection is freed when it closes, not by the collector's rare full passes.
                conn.state = None
        return handle

    async def start(self):
        for name, password in self.cfg.seed_accounts:
            await self.accounts.seed(name, password)
        removed = clear_orphans(self.accounts.path, self.accounts.accounts)
        if removed:
            self.log.write("mail_cleared", files=removed)
        self.accounts.start_writer()
        # Made before listening: made by the first list or challenge, their walk over a large
        # store held every other client meanwhile (about 60 ms at 10,000 accounts).
        self.lobby.standings()
        # What is open now stays open; the rest, less a margin, is for client connections.
        self.budget = ConnectionBudget(self.log, raise_descriptor_limit() - open_descriptors() - DESCRIPTOR_MARGIN)
        lobby = Listener(self.cfg.host, self.cfg.port, self._accept("L", self.lobby), self.budget, StampedReader)
        self._servers = [lobby]
        game = Listener(self.cfg.host, self.cfg.game_port, self._accept("G", self.games), self.budget, StampedReader)
        self._servers.append(game)
        self._lobby_server = lobby
        self.lobby_port = lobby.port
        self.game_port = game.port
        if self.control is not None:
            control = self.control.start(self.cfg.control_port, self.budget)
            self._servers.append(control)
            self.control_port = control.port
        self._sweeper = asyncio.ensure_future(self.games.sweep())
        self.log.write("ready", strict=self.cfg.strict, max_connections=self.budget.cap, **self._ports())

    def lobby_listening(self):
        return self._lobby_server is not None

    def set_lobby_listening(self, on):
        """Stops or resumes accepting lobby connections on the same port; the open ones stay."""
        if on == self.lobby_listening():
            return
        if not on:
            self._servers.remove(self._lobby_server)
            self._lobby_server.close()   # the listening socket closes at once: connects are refused
            self._lobby_server = None
            return
        # Listening before this returns, so a client that connects next is queued, not refused.
        self._lobby_server = Listener(self.cfg.host, self.lobby_port, self._accept("L", self.lobby), self.budget,
                                      StampedReader)
        self._servers.append(self._lobby_server)

    def _ports(self):
        ports = {"host": self.cfg.host, "lobby_port": self.lobby_port, "game_port": self.game_port}
        if self.control_port is not None:
            ports["control_port"] = self.control_port
        return ports

    def ready_line(self):
        return json.dumps(dict(event="ready", **self._ports()))

    async def stop(self):
        """Ends the matches as cut off by the stop; a request waiting for the store gets its
        answer, then every connection closes and its handler gets the grace time to finish.
        Last, what stands in memory and not yet in the store is written: the store may be
        locked by another process until BUSY_TIMEOUT after the stop began."""
        began = time.monotonic()
        self.stopping = True
        for srv in self._servers:
            srv.close()
        self._sweeper.cancel()
        self.games.shutdown()
        answering = [conn.answering for conn in self.connections.values() if conn.answering is not None]
        self._close_all(lambda conn: conn.answering is None)
        if answering:
            await asyncio.wait(answering, timeout=BUSY_TIMEOUT + ANSWER_MARGIN)
        self._close_all(lambda conn: True)
        if self.control is not None:
            self.control.close_all()
        tasks = list(self._tasks) + (self.control.tasks() if self.control is not None else [])
        if tasks:
            _done, pending = await asyncio.wait(tasks, timeout=SHUTDOWN_GRACE)
            for task in pending:
                task.cancel()
        await asyncio.gather(*tasks, self._sweeper, return_exceptions=True)
        self.budget.stop()
        unsaved = await self.lobby.store_unsaved_matches(began)
        self.accounts.close()   # after the changes handed to the writer
        if unsaved:
            self.log.write("store_unsaved", match_results=unsaved)
        self.log.write("shutdown", violations=self.log.violations)

    def _close_all(self, which):
        for conn in list(self.connections.values()):
            if which(conn):
                conn.close("server shutdown")


def _stop_at_end_of_input(stop_event):
    loop = asyncio.get_running_loop()
    fd = sys.stdin.fileno()

    def readable():
        try:
            ended = not os.read(fd, 4096)
        except OSError:
            ended = True
        if ended:
            loop.remove_reader(fd)
            stop_event.set()
    loop.add_reader(fd, readable)


async def serve(cfg, log_stream, stop_signals=()):
    """Serves until one of stop_signals comes (or, with --exit-with-stdin, the input ends)."""
    # Made in the running loop: before Python 3.10 an Event binds to the loop current when it
    # is made, and waiting on it from another fails.
    stop_event = asyncio.Event()
    for sig in stop_signals:
        asyncio.get_running_loop().add_signal_handler(sig, stop_event.set)
    server = Server(cfg, log_stream)
    await server.start()
    # What start-up made (the account store above all: a dict of every account) lives as long
    # as the server; left to the collector, each full collection would walk all of it and
    # hold up every connection for milliseconds. Frozen, collections only see what came later.
    gc.freeze()
    if cfg.exit_with_stdin:
        _stop_at_end_of_input(stop_event)
    if log_stream is not sys.stdout:   # otherwise the log's own "ready" line says it
        sys.stdout.write(server.ready_line() + "\n")
        sys.stdout.flush()
    await stop_event.wait()
    await server.stop()
    return server

#!/usr/bin/env bash
# Starts the game of a build folder (make run: build/release) in an instance folder of its
# own, with the local lobby server unless one already answers.
#   PLAYER=n           instance folder playerN (default 1), so two windows keep apart
#   SERVER=host[:port] join the lobby server there and start none
#   LAN=1              the server started here listens on every address, for other machines
#   LOBBY_PORT=n       the local server's lobby port (default 5000; its game port is n + 1),
#                      for tests that must not meet a server a player started
# The instance lives under ${XDG_DATA_HOME:-~/.local/share}/quorvalin/playerN: app/native/ links
# to the build's application folder (a rebuild is seen by the next start) but for
# settings.txt, written here; data/ is the instance's own. The server's state is in
# quorvalin/lobby/. A server started here is stopped, by its process id, when the game ends.
set -euo pipefail

if [[ $# -ne 1 ]]; then
  echo "usage: $0 BUILD_FOLDER" >&2
  exit 2
fi
if [[ -z "${DISPLAY:-}" ]]; then
  echo "No display: set DISPLAY to an X server (for example under xvfb-run) to play." >&2
  exit 1
fi
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
game="$build/game/quorvalin"
app="$build/run/app/native"
server_script="$root/tools/lobby_server/server.py"
if [[ ! -x "$game" || ! -d "$app" ]]; then
  echo "No game in $build: game/quorvalin or run/app/native is missing (make run builds them)." >&2
  exit 1
fi

player=${PLAYER:-1}
if [[ ! "$player" =~ ^[1-9][0-9]{0,2}$ ]]; then
  echo "PLAYER must be a number from 1 to 999, not \"$player\"." >&2
  exit 1
fi
data_home="${XDG_DATA_HOME:-${HOME:?HOME is not set}/.local/share}"
home="$data_home/quorvalin"
# Older builds kept everything under flomps/: moved once, so statistics and accounts stay.
# Two starts at once: the one whose move fails uses the folder the other one moved.
if [[ -d "$data_home/flomps" && ! -e "$home" ]] && mv -T "$data_home/flomps" "$home" 2>/dev/null; then
  echo "Moved $data_home/flomps to $home."
fi
instance="$home/player$player"
lobby_state="$home/lobby"

lobby_port=${LOBBY_PORT:-5000}
if [[ ! "$lobby_port" =~ ^[1-9][0-9]{0,4}$ ]] || (( lobby_port > 65534 )); then
  echo "LOBBY_PORT must be a port number below 65535, not \"$lobby_port\"." >&2
  exit 1
fi
game_port=$((lobby_port + 1))
if [[ -n "${SERVER:-}" ]]; then
  if [[ ! "$SERVER" =~ ^([A-Za-z0-9.-]+)(:([0-9]{1,5}))?$ ]] || (( 10#${BASH_REMATCH[3]:-5000} < 1 || 10#${BASH_REMATCH[3]:-5000} > 65535 )); then
    echo "SERVER must be host or host:port with a port from 1 to 65535, not \"$SERVER\"." >&2
    exit 1
  fi
  server_host=${BASH_REMATCH[1]}
  lobby_port=$((10#${BASH_REMATCH[3]:-5000}))
else
  server_host=127.0.0.1
fi

mkdir -p "$instance/app/native" "$instance/data" "$lobby_state"
# The game's own data (a remembered login among it) is the player's only, in older instances too.
chmod 700 "$instance/data"

# One game per instance folder: two processes writing the same data/ would spoil it.
exec 9>"$instance/.lock"
if ! flock -n 9; then
  echo "Player $player is already playing in another window; start the next one with PLAYER=$((player + 1))." >&2
  exit 1
fi

# Links to the build's files; links left by an older build that no longer has the file go.
find "$instance/app/native" -maxdepth 1 -type l -delete
links=()
for file in "$app"/*; do
  [[ "${file##*/}" == settings.txt ]] || links+=("$file")
done
# One ln for all: a process per file costs more than the rest of the start.
ln -s -t "$instance/app/native" "${links[@]}"
cat > "$instance/app/native/settings.txt" <<EOF
; Written by tools/run_game.sh at every start.
[GRAPHICS]
resx=1024
resy=600
fullscreen=0
[AUDIO]
frequency=44100
bps=16
channels=2
[NETWORK]
server="$server_host"
port=$lobby_port
EOF

probe() {
  python3 "$server_script" --probe "$1"
}

# Whether anything accepts connections on a local port, asked in the shell: the common
# start (no server yet) needs no Python start for the question.
port_accepts() {
  (: <>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

# The wait for the local server's ready line: 30 s in steps of 10 ms.
READY_POLL_SECONDS=0.01
READY_TRIES=3000

# A stop writes what the store has not taken yet, waiting up to 5 s for a lock another
# process holds, and gives the requests under way their answers: 15 s in steps of 0.1 s.
STOP_TRIES=150
server_pid=
stop_server() {
  [[ -n "$server_pid" ]] || return 0
  if kill -0 "$server_pid" 2>/dev/null; then
    kill -TERM "$server_pid" 2>/dev/null || true
    for _ in $(seq "$STOP_TRIES"); do
      kill -0 "$server_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL "$server_pid" 2>/dev/null || true
  fi
  wait "$server_pid" 2>/dev/null || true
  server_pid=
}
trap stop_server EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# The language packs the server offers, named as it expects (<target>_<code>.kmp: the
# framework's "vornlanguage", the game's "game"); links, so a rebuild is served too.
language_folder() {
  local dir="$lobby_state/languages" pack name
  mkdir -p "$dir"
  find "$dir" -maxdepth 1 -type l -delete
  for pack in "$app"/vornlanguage_*.kmp "$app"/quorvalinlanguage_*.kmp; do
    [[ -e "$pack" ]] || continue
    name=${pack##*/}
    ln -s "$pack" "$dir/${name/#quorvalinlanguage_/game_}"
  done
  echo "$dir"
}

lan_address() {
  python3 - <<'PY'
import socket
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
try:
    s.connect(("192.0.2.1", 9))   # no packet is sent: this only picks the outgoing address
    print(s.getsockname()[0])
except OSError:
    pass
PY
}

start_server() {
  local args=(--port "$lobby_port" --game-port "$game_port"
              --accounts "$lobby_state/accounts.json" --log "$lobby_state/server.log"
              --language-dir "$(language_folder)")
  if [[ "${LAN:-0}" == 1 ]]; then
    local address
    address=$(lan_address)
    if [[ -z "$address" || "$address" == 127.* ]]; then
      echo "LAN=1: this machine has no IPv4 address on a network." >&2
      exit 1
    fi
    args+=(--host 0.0.0.0 --advertise-host "$address")
    echo "The lobby server is open to the LAN: on the other machine run  make run SERVER=$address"
  else
    args+=(--host 127.0.0.1)
  fi
  # The default shop catalogue, built into <build>/lobby-data/.
  args+=(--catalogue "$build/lobby-data/catalogue.json")

  # Per player: two scripts starting at once must not read each other's lines.
  local out="$lobby_state/server-player$player.out" err="$lobby_state/server-player$player.err"
  : > "$out"
  python3 "$server_script" "${args[@]}" > "$out" 2> "$err" 9>&- &
  server_pid=$!
  # Its ready line says both ports listen; a start that fails ends the process. Looked for
  # often: the game starts the moment the server answers.
  local tries
  for ((tries = 0; tries < READY_TRIES; tries++)); do
    if [[ "$(<"$out")" == *'"ready"'* ]]; then
      echo "Lobby server started (process $server_pid, log $lobby_state/server.log)."
      return 0
    fi
    kill -0 "$server_pid" 2>/dev/null || break
    sleep "$READY_POLL_SECONDS"
  done
  echo "The lobby server did not start:" >&2
  cat "$err" >&2
  exit 1
}

if [[ -n "${SERVER:-}" ]]; then
  probe "$server_host:$lobby_port" ||
    echo "The game starts anyway; its login page offers to play offline." >&2
else
  status=1
  answer=
  if port_accepts "$lobby_port"; then
    status=0
    answer=$(probe "127.0.0.1:$lobby_port" 2>&1) || status=$?
  fi
  case $status in
    0) echo "A lobby server already answers on port $lobby_port: joining it."
       [[ "${LAN:-0}" != 1 ]] || echo "LAN=1 has no effect on a server that is already running." >&2 ;;
    1) start_server ;;
    *) echo "$answer" >&2
       echo "Port $lobby_port is taken by a program that is not a lobby server; stop it, or join a server elsewhere with SERVER=host[:port]." >&2
       exit 1 ;;
  esac
fi

cd "$instance"
status=0
"$game" || status=$?
exit $status

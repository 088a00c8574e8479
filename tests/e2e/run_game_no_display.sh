#!/usr/bin/env bash
# tools/run_game.sh on a display where no X server answers, as `DISPLAY=:87 make run` on a
# machine without one: the game says why it cannot start and the script ends with a failure.
# The data home holds an instance folder of the game's older name, which the script moves.
#   run_game_no_display.sh SOURCE_FOLDER BUILD_FOLDER
set -uo pipefail
src=$1
build=$2

# :87 unless something answers there. A server may be reachable though no file of it shows
# under this /tmp (another mount namespace, a container sharing the network): every way the
# X library tries is probed, the abstract socket, the socket file and TCP.
answers() {
  python3 - "$1" <<'PY'
import socket, sys
n = int(sys.argv[1])
path = "/tmp/.X11-unix/X%d" % n
ways = [(socket.AF_UNIX, "\0" + path), (socket.AF_UNIX, path), (socket.AF_INET, ("127.0.0.1", 6000 + n)),
        (socket.AF_INET6, ("::1", 6000 + n))]
for family, address in ways:
    try:
        with socket.socket(family, socket.SOCK_STREAM) as s:
            s.settimeout(2)
            s.connect(address)
            sys.exit(0)
    except OSError:
        pass
sys.exit(1)
PY
}
number=87
while [[ -e /tmp/.X11-unix/X$number || -e /tmp/.X$number-lock ]] || answers $number; do
  number=$((number + 1))
done
# A lobby port whose successor, the game port, is free too, held until the test ends as the
# journeys hold theirs: bound, then shared, never listening. A port only looked up and let
# go may be given to another test's outgoing connection before the server binds it.
coproc HOLD {
  exec python3 -c '
import socket, sys
for _ in range(50):
    first, second = socket.socket(), socket.socket()
    first.bind(("127.0.0.1", 0))
    port = first.getsockname()[1]
    try:
        second.bind(("127.0.0.1", port + 1))
    except (OSError, OverflowError):  # taken, or past the last port
        first.close()
        second.close()
        continue
    for held in (first, second):
        held.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    print(port, flush=True)
    sys.stdin.read()
    break
'
}
hold_pid=$HOLD_PID
home=$(mktemp -d)
trap 'kill "$hold_pid" 2>/dev/null; rm -rf "$home"' EXIT
port=
read -r port <&"${HOLD[0]}"
if [[ -z $port ]]; then
  echo "FAIL: no two free ports in a row" >&2
  exit 1
fi

mkdir -p "$home/flomps/player1/data"
echo kept > "$home/flomps/player1/data/stats.dat"

status=0
output=$(DISPLAY=:$number XDG_DATA_HOME=$home LOBBY_PORT=$port "$src/tools/run_game.sh" "$build" 2>&1) || status=$?
echo "$output"
if [[ $status -eq 0 ]]; then
  echo "FAIL: the script ended with status 0 although no display could be opened" >&2
  exit 1
fi
if ! grep -q "start-up: the display \":$number\" failed" <<<"$output"; then
  echo "FAIL: the game did not say that the display \":$number\" cannot be opened" >&2
  exit 1
fi
if [[ ! -f $home/quorvalin/player1/data/stats.dat || -e $home/flomps ]]; then
  echo "FAIL: the older flomps/ folder was not moved to quorvalin/" >&2
  exit 1
fi
echo "ok: status $status"

#!/usr/bin/env bash
# Runs a program on an X server of its own. Xvfb takes the first free display number itself
# (-displayfd) and says which once it accepts connections, so that tests started side by side
# never pick the same one, as xvfb-run -a's look at the lock files may.
#   own_display.sh WIDTHxHEIGHTxDEPTH PROGRAM [ARG...]
# The program's exit status; 1 with a line on standard error when the server did not start.
set -uo pipefail
screen=$1
shift
log=$(mktemp)
exec 3< <(exec Xvfb -displayfd 1 -screen 0 "$screen" -nolisten tcp -noreset 2>"$log")
xvfb=$!
stop() {
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
    rm -f "$log"
}
trap stop EXIT
trap 'exit 143' TERM INT
# Xvfb writes the number when it is ready, or ends without writing it.
if ! read -r -u 3 display || [[ -z $display ]]; then
    echo "own_display.sh: Xvfb did not start: $(cat "$log")" >&2
    exit 1
fi
exec 3<&-
DISPLAY=:$display "$@"

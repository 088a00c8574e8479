#!/usr/bin/env bash
# Starts the game from a release build; refuses plainly when there is no display.
set -euo pipefail
build=$1
if [[ -z "${DISPLAY:-}" ]]; then
  echo "No display: set DISPLAY to an X server (for example under xvfb-run) to play." >&2
  exit 1
fi
game="$build/game/flomps"
if [[ ! -x "$game" ]]; then
  echo "The game is not built yet: nothing to start." >&2
  exit 1
fi
cd "$(dirname "$game")"
exec "./$(basename "$game")"

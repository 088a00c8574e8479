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
  # Until the game exists, show the engine running in its window.
  game="$build/tools/preview/korvel_preview"
fi
if [[ ! -x "$game" ]]; then
  echo "Nothing was built to start." >&2
  exit 1
fi
cd "$(dirname "$game")"
exec "./$(basename "$game")"

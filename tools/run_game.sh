#!/usr/bin/env bash
# Starts the engine preview from a release build; refuses plainly when there is no display.
# The game executable (game/flomps) is built alongside but cannot play yet: it has no
# packs to start from and no screens, so the preview is what `make run` shows.
set -euo pipefail
build=$1
if [[ -z "${DISPLAY:-}" ]]; then
  echo "No display: set DISPLAY to an X server (for example under xvfb-run) to play." >&2
  exit 1
fi
game="$build/tools/preview/korvel_preview"
if [[ ! -x "$game" ]]; then
  echo "Nothing was built to start." >&2
  exit 1
fi
cd "$(dirname "$game")"
exec "./$(basename "$game")"

#!/usr/bin/env bash
# Installs the Debian packages of tools/debian-packages.txt that are missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mapfile -t wanted < <(grep -v '^\s*#' "$here/debian-packages.txt" | sed 's/\s.*//' | grep -v '^$')
missing=()
for pkg in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done
if [[ ${#missing[@]} -eq 0 ]]; then
  exit 0
fi
cmd="apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
if [[ $(id -u) -ne 0 ]]; then
  if command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
    cmd="sudo apt-get update && sudo apt-get install -y --no-install-recommends ${missing[*]}"
  else
    echo "Missing Debian packages: ${missing[*]}" >&2
    echo "Run as root: $cmd" >&2
    exit 1
  fi
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
eval "$cmd"

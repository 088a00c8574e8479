#!/usr/bin/env bash
# Regenerates every committed generated asset, in a fixed order (fonts, images,
# embedded sources, sounds, music), and writes assets/generated/MANIFEST.sha256.
#   tools/assetgen/regen.sh --fontgen PATH [--out ROOT]
# ROOT defaults to the repository; the regeneration check writes into the build tree.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=$root
fontgen=
while [[ $# -gt 0 ]]; do
  case $1 in
    --fontgen) fontgen=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) echo "usage: regen.sh --fontgen PATH [--out ROOT]" >&2; exit 2 ;;
  esac
done
[[ -x $fontgen ]] || { echo "regen.sh: --fontgen must name the built fontgen" >&2; exit 2; }
fontgen=$(cd "$(dirname "$fontgen")" && pwd)/$(basename "$fontgen")
# Debian's own interpreter: a python3 earlier on PATH may lack PIL.
py=$(command -v -p python3)
"$py" -c "import PIL" 2>/dev/null || { echo "regen.sh: $py cannot import PIL (install python3-pil)" >&2; exit 2; }
command -v sox >/dev/null || { echo "regen.sh: sox is missing" >&2; exit 2; }
command -v lame >/dev/null || { echo "regen.sh: lame is missing" >&2; exit 2; }

mkdir -p "$out"
out=$(cd "$out" && pwd)
rm -rf "$out/assets/generated"
cd "$here"
"$py" -B fonts.py --fontgen "$fontgen" --out "$out"
"$py" -B splash_intro.py --out "$out"
"$py" -B lobby_images.py --out "$out"
"$py" -B game_textures.py --out "$out"
"$py" -B items.py --out "$out"
"$py" -B promotions.py --out "$out"
"$py" -B embedded.py --out "$out"
"$py" -B ui_sounds.py --out "$out"
"$py" -B game_sounds.py --out "$out"
"$py" -B music.py --out "$out"

# The manifest lists every output by its path in the repository, sorted bytewise.
cd "$out"
{ find assets/generated -type f ! -name MANIFEST.sha256; echo Framework/Shell/VornLogoImage.cpp; } |
  LC_ALL=C sort | xargs sha256sum > assets/generated/MANIFEST.sha256
echo "regen.sh: $(wc -l < assets/generated/MANIFEST.sha256) files in $out"

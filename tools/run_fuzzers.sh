#!/usr/bin/env bash
# Runs every built fuzz target for a few seconds on a copy of its seed corpus.
#   run_fuzzers.sh BUILD [SECONDS]
#   run_fuzzers.sh --lengths BUILD   lists each target's -max_len; fails when one has none
set -euo pipefail
lengths_only=0
if [[ "${1:-}" == --lengths ]]; then
  lengths_only=1
  shift
fi
build=$1
seconds=${2:-5}
src=$(cd "$(dirname "$0")/.." && pwd)
names=$(cat "$build/fuzz_targets.txt" 2>/dev/null | tr ';' ' ')
if [[ -z "${names// }" ]]; then
  echo "no fuzz targets yet"
  exit 0
fi
# Inputs up to the size the parser meets from outside: libFuzzer's own default stops at 4 KiB.
NETWORK_MAX=65562   # one lobby or game frame
PACK_MAX=262144     # images, packs, sounds and the files inside them
TEXT_MAX=65536      # XML, layouts and the other files the game writes or reads
max_len() {
  case $1 in
    ASN1|GameEvents|GameMessage|MessageCatalogue|MoxItemDescription|TurnPack|VornNetworkSession|ItemData) echo $NETWORK_MAX ;;
    ImageLoad|KorvelMediaPack|VornResourceManager|BitmapFont|KorvelSoundWave|KorvelSoundWaveOgg|MusicDecoder|VornLanguageText|AchievementDescriptions|SceneFile) echo $PACK_MAX ;;
    KorvelXMLDataNode|UIXMLLoader|WidgetPath|KorvelIniFile|KorvelString|KorvelStringScan|VornTextFormat|AchievementData|UsabilityData|VornStatistics) echo $TEXT_MAX ;;
    *) echo "fuzz target $1 has no -max_len in $0" >&2; return 1 ;;
  esac
}
for name in $names; do
  len=$(max_len "$name") || exit 1
  [[ $lengths_only == 0 ]] || echo "$name $len"
done
[[ $lengths_only == 0 ]] || exit 0
# A layout run touches tens of thousands of coverage features, and the entropic schedule's
# bookkeeping of them took most of its time (under 200 runs a second instead of over 600).
options() {
  case $1 in
    UIXMLLoader) echo -entropic=0 ;;
  esac
}
export LSAN_OPTIONS="suppressions=$src/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# One target per core at a time: each runs for its seconds whatever the others do.
fuzz_one() {
  local name=$1 work="$build/corpus/$1" len
  mkdir -p "$work"
  len=$(max_len "$name")
  echo "fuzzing $name for ${seconds}s, inputs up to $len bytes"
  # shellcheck disable=SC2046
  "$build/fuzz/fuzz_$name" $(options "$name") -max_total_time="$seconds" -max_len="$len" -timeout=10 -rss_limit_mb=4096 -artifact_prefix="$build/" \
    -print_final_stats=0 "$work" "$src/fuzz/corpus/$name" 2>"$build/fuzz_$name.log" \
    || { tail -n 60 "$build/fuzz_$name.log"; echo "fuzz target $name failed"; return 1; }
}
export -f fuzz_one max_len options
export build src seconds NETWORK_MAX PACK_MAX TEXT_MAX
printf '%s\n' $names | xargs -P "${JOBS:-$(nproc)}" -I{} bash -c 'fuzz_one "$1"' _ {} || exit 1
echo "fuzz targets passed"

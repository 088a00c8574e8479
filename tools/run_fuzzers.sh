#!/usr/bin/env bash
# Runs every built fuzz target for a few seconds on a copy of its seed corpus.
set -euo pipefail
build=$1
seconds=${2:-5}
src=$(cd "$(dirname "$0")/.." && pwd)
names=$(cat "$build/fuzz_targets.txt" 2>/dev/null | tr ';' ' ')
if [[ -z "${names// }" ]]; then
  echo "no fuzz targets yet"
  exit 0
fi
export LSAN_OPTIONS="suppressions=$src/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
for name in $names; do
  work="$build/corpus/$name"
  mkdir -p "$work"
  echo "fuzzing $name for ${seconds}s"
  "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -artifact_prefix="$build/" \
    -print_final_stats=0 "$work" "$src/fuzz/corpus/$name" 2>"$build/fuzz_$name.log" \
    || { tail -n 60 "$build/fuzz_$name.log"; echo "fuzz target $name failed"; exit 1; }
done
echo "fuzz targets passed"

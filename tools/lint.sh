#!/usr/bin/env bash
# clang-tidy over the project's own C++ files, one process per core; fails on any warning.
# Usage: lint.sh BUILD_DIR [--all | FILE...]
#   no files: the product's sources (every tracked .cpp outside tests/)
#   --all:    the tests' too (but tests/support's)
# A warning in a header shows once, however many files include it.
set -euo pipefail
TIDY=${CLANG_TIDY:-clang-tidy}
build=$1
shift
cd "$(dirname "$0")/.."
if [[ ${1:-} == --all ]]; then
    mapfile -t files < <(git ls-files '*.cpp' | grep -v '^tests/support/')
elif [[ $# -gt 0 ]]; then
    files=("$@")
else
    mapfile -t files < <(git ls-files '*.cpp' | grep -v '^tests/')
fi
[[ -f $build/compile_commands.json ]] || { echo "lint: no $build/compile_commands.json (make build-test)"; exit 2; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# The test programs force-include a header GCC precompiled, which clang cannot read: lint
# them with the header's plain includes of their own.
mkdir "$out/db"
sed -E 's# -Winvalid-pch##g; s# -include [^ "]*/cmake_pch\.hxx##g' "$build/compile_commands.json" >"$out/db/compile_commands.json"
build=$out/db
start=$(date +%s)
# Each file's report in a file of its own, so that parallel runs do not interleave.
printf '%s\n' "${files[@]}" | xargs -r -P "${JOBS:-$(nproc)}" -I{} \
    sh -c '"$1" -p "$2" --quiet "$3" >"$4/$(printf %s "$3" | tr / _).log" 2>&1 || true' _ "$TIDY" "$build" {} "$out"
# Diagnostics only (not the code and carets under them), each once; a file clang-tidy could
# not process counts as well.
report=$(cat "$out"/*.log 2>/dev/null | grep -E '^[^ ].*:[0-9]+:[0-9]+: (warning|error):|^Error while processing' |
    sort -u || true)
count=$(printf '%s' "$report" | grep -c . || true)
[[ -z $report ]] || printf '%s\n' "$report"
echo "lint: ${#files[@]} files, $count warnings, $(($(date +%s) - start)) s"
[[ $count -eq 0 ]]

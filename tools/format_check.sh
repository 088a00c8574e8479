#!/usr/bin/env bash
# Fails when a C or C++ file differs from the checked-in .clang-format.
# Usage: format_check.sh [ROOT]   (the files git tracks under ROOT; every such file outside a checkout)
#        format_check.sh --self-check   (a planted mis-formatted line must be caught)
set -euo pipefail
FORMAT=${CLANG_FORMAT:-clang-format}

check_root() {
    local root=$1 bad=0
    cd "$root"
    local files
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        files=$(git ls-files -- '*.cpp' '*.h' '*.c' '*.hpp')
    else
        files=$(find . -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' -o -name '*.hpp' \) | sort)
    fi
    local report
    report=$( (printf '%s\n' $files | xargs -r -P "$(nproc)" -n 40 "$FORMAT" --style=file --dry-run -Werror 2>&1 || true) |
        sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' | sort -u || true)
    for f in $report; do
        echo "not formatted: $f (clang-format -i $f)"
        bad=$((bad + 1))
    done
    echo "$bad files differ from .clang-format"
    [[ $bad -eq 0 ]]
}

if [[ ${1:-} == --self-check ]]; then
    here=$(cd "$(dirname "$0")/.." && pwd)
    tmp=$(mktemp -d)
    trap 'rm -rf "$tmp"' EXIT
    cp "$here/.clang-format" "$tmp/"
    printf 'int Good()\n{\n    return 1;\n}\n' >"$tmp/good.cpp"
    if ! (check_root "$tmp" >/dev/null); then
        echo "self-check: a formatted file was refused"; exit 1
    fi
    printf 'int  Bad( ){return 1;}\n' >"$tmp/bad.cpp"
    if (check_root "$tmp" >/dev/null); then
        echo "self-check: a planted mis-formatted line passed"; exit 1
    fi
    echo "self-check: the planted mis-formatted line is caught"
    exit 0
fi
check_root "${1:-$(cd "$(dirname "$0")/.." && pwd)}"

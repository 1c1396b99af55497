#!/usr/bin/env bash
# fuzz/seed.sh TARGET DIR: fills DIR with the seed corpus of fuzz target TARGET:
# the committed seeds in fuzz/seeds/TARGET/, then whatever fuzz/TARGET.seed.sh
# adds (real files from the shared data, when present).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
target=$1
dir=$2
mkdir -p "$dir"
if [ -d "$here/seeds/$target" ]; then
    cp "$here/seeds/$target"/* "$dir"/ 2>/dev/null || true
fi
if [ -x "$here/$target.seed.sh" ]; then
    "$here/$target.seed.sh" "$dir"
fi

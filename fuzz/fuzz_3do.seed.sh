#!/usr/bin/env bash
# Adds the real 3DO models of the shared data, when present, to the corpus in $1.
set -euo pipefail
real="$(cd "$(dirname "$0")" && pwd)/../../shared/data/real/3do"
if [ -d "$real" ]; then
    for f in "$real"/*.3do; do
        cp "$f" "$1/$(basename "$f")"
    done
fi

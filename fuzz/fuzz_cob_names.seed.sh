#!/usr/bin/env bash
# Adds the real unit scripts of the shared data, when present, to the corpus in $1.
set -euo pipefail
real="$(cd "$(dirname "$0")" && pwd)/../../shared/data/real/cob"
if [ -d "$real" ]; then
    for f in "$real"/*.cob; do
        cp "$f" "$1/$(basename "$f")"
    done
fi

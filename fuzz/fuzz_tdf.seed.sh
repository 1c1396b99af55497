#!/usr/bin/env bash
# Adds the real TDF texts of the shared data (unit, weapon and map files),
# when present, to the corpus in $1.
set -euo pipefail
real="$(cd "$(dirname "$0")" && pwd)/../../shared/data/real/text"
if [ -d "$real" ]; then
    for f in "$real"/*; do
        cp "$f" "$1/$(basename "$f")"
    done
fi

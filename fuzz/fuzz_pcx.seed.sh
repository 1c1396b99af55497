#!/usr/bin/env bash
# Adds the real PCX pictures of the shared data, when present, to the corpus in $1.
set -euo pipefail
real="$(cd "$(dirname "$0")" && pwd)/../../shared/data/real/pcx"
if [ -d "$real" ]; then
    for f in "$real"/*; do
        cp "$f" "$1/$(basename "$f" | tr ' ' '_')"
    done
fi

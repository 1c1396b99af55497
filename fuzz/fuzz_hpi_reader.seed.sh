#!/usr/bin/env bash
# Adds the real archives of the shared data, when present, to the corpus in $1.
set -euo pipefail
real="$(cd "$(dirname "$0")" && pwd)/../../shared/data/real/archives"
if [ -d "$real" ]; then
    cp "$real"/* "$1"/
fi

#!/usr/bin/env bash
# The GAF seeds (committed and real files), each behind a byte that says how
# the round trip stores the frames: as read, raw, run-length rows.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
gafs=$(mktemp -d)
"$here/seed.sh" fuzz_gaf "$gafs"
for f in "$gafs"/*; do
    for mode in 0 1 2; do
        { printf "\\x3$mode"; cat "$f"; } >"$1/$mode-$(basename "$f")"
    done
done
rm -rf "$gafs"

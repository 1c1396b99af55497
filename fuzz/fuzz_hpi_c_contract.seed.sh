#!/usr/bin/env bash
# The archive reader's seeds: committed archives and the shared real ones.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cp "$here/seeds/fuzz_hpi_reader"/* "$1"/ 2>/dev/null || true
"$here/fuzz_hpi_reader.seed.sh" "$1"

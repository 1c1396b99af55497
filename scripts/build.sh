#!/usr/bin/env bash
# Configures and builds the toolkit in build/ (Release with debug info).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/compiler_cache.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${compiler_cache[@]}" "$@" >/dev/null
cmake --build build

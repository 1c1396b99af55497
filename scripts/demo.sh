#!/usr/bin/env bash
# Installs what is needed, builds, makes the demo archive and shows it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
demo=build/demo/demo.hpi
if [ -x build/bin/crateward ]; then
    exec build/bin/crateward "$PWD/$demo"
fi
build/bin/hpi info "$demo"
build/bin/hpi list -l "$demo"

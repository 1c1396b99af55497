#!/usr/bin/env bash
# Installs what is needed, builds, makes the demo archive and opens it in
# Crateward (or, with no display, describes it and says how to open it).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
demo="$PWD/build/demo/demo.hpi"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/bin/crateward ]; then
    exec build/bin/crateward "$demo"
fi
build/bin/hpi info "$demo"
build/bin/hpi list -l "$demo"
echo
echo "No display here. On a desktop, open the demo archive with:"
echo "    build/bin/crateward \"$demo\""
echo "or, without one, under a virtual X server:"
echo "    xvfb-run -a build/bin/crateward \"$demo\""

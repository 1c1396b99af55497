#!/usr/bin/env bash
# Loads the file types into a temporary XDG_DATA_HOME with
# update-mime-database and asks xdg-mime for the type of real game files.
#   mime_test.sh MIME_PACKAGES_DIR... (folders of *.xml package files)
# Exit 77 (skipped) when the tools or the real files are missing.
set -u
real=${TOOLKIT_SHARED_DIR:-}/data/real
for tool in update-mime-database xdg-mime gio; do
    command -v "$tool" >/dev/null || {
        echo "$tool is not installed"
        exit 77
    }
done
[ -d "$real" ] || {
    echo "real game files are absent"
    exit 77
}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/mime/packages"
for dir in "$@"; do
    cp "$dir"/*.xml "$home/mime/packages/"
done
XDG_DATA_HOME=$home update-mime-database "$home/mime" || exit 1

failures=0
expect() { # expect TYPE FILE
    local got
    got=$(XDG_DATA_HOME=$home XDG_CURRENT_DESKTOP=GNOME xdg-mime query filetype "$2")
    if [ "$got" != "$1" ]; then
        echo "FAIL: $2: $got, expected $1"
        failures=$((failures + 1))
    fi
}
expect image/x-gaf-sprite "$real/gaf/ArmImp.gaf"
expect image/x-gaf-sprite "$real/gaf/cursors.gaf"
expect model/x-3do-model "$real/3do/armcom.3do"
expect text/x-tdf-definitions "$real/text/armcom.fbi"
expect text/x-tdf-definitions "$real/text/ebigb.FBI"
expect text/x-tdf-definitions "$real/text/Luschie.ota"
expect text/x-tdf-definitions "$real/text/cordem_weapon.tdf"
expect application/x-cob-script "$real/cob/armanni.cob"
expect application/x-hpi-archive "$real/archives/ArmBani.ufo"
expect image/vnd.zbrush.pcx "$real/pcx/ArmRaz.pcx"
expect audio/x-wav "$real/wav/click.wav"
# Without their extensions, sprites and models are still told by their first bytes.
cp "$real/gaf/abboom.gaf" "$home/sprites"
cp "$real/3do/cormlk.3do" "$home/model"
expect image/x-gaf-sprite "$home/sprites"
expect model/x-3do-model "$home/model"
[ "$failures" -eq 0 ] && echo "every file has its type"
exit $((failures > 0))

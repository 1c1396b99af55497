#!/usr/bin/env bash
# The Debian package as a user gets it: built from the build tree with
# CPack, unpacked with dpkg-deb -x into a temporary root, the installed
# programs run from there on the demo archive; then the AppStream metadata,
# the desktop entry and the manuals are validated and lintian checks the
# package.
#   packaging/check_package.sh [BUILD_DIR]     (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
demo=$build/demo/demo.hpi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "check_package: $*" >&2
    exit 1
}

echo "-- cpack -G DEB"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >/dev/null
deb=$(echo "$work"/out/*.deb)
[ -f "$deb" ] || fail "no package was made"
dpkg-deb -I "$deb"

echo "-- the unpacked package at work"
root=$work/root
dpkg-deb -x "$deb" "$root"
bin=$root/usr/bin
# Every program finds its libraries in the package itself.
for program in "$bin"/*; do
    if ldd "$program" | grep -q "not found"; then
        fail "$(basename "$program") misses a library: $(ldd "$program" | grep "not found")"
    fi
done
ldd "$bin/hpi" | grep -q "=> $bin/../lib/crateward/libhpiutil.so" ||
    fail "hpi does not use the package's libhpiutil"
for program in crateward spriteglass meshglass hpi gaf 3do pcx crateward-thumbnailer; do
    version=$("$bin/$program" --version)
    [ "$version" = "$program $(dpkg-deb -f "$deb" Version)" ] ||
        fail "$program --version says '$version'"
    "$bin/$program" --help >/dev/null || fail "$program --help failed"
done
"$bin/hpi" verify "$demo" >/dev/null
"$bin/hpi" list "$demo" | grep -qxF 'units\armdemo.fbi' || fail "hpi list misses the unit"
"$bin/hpi" extract "$demo" -C "$work/demo" >/dev/null
"$bin/gaf" info "$work/demo/anims/armdemo_gadget.gaf" | grep -q armdemo_beacon ||
    fail "gaf info misses the beacon"
"$bin/gaf" export --png "$work/demo/anims/armdemo_gadget.gaf" "$work/frames"
[ "$(find "$work/frames" -name '*.png' | wc -l)" -gt 0 ] || fail "gaf export wrote nothing"
"$bin/3do" info "$work/demo/objects3d/armdemo.3do" | grep -q '"turret"' ||
    fail "3do info misses the turret"
"$bin/pcx" info "$work/demo/unitpics/armdemo.pcx" >/dev/null
for input in "$demo" "$work/demo/anims/armdemo_gadget.gaf" "$work/demo/unitpics/armdemo.pcx" \
    "$work/demo/objects3d/armdemo.3do"; do
    rm -f "$work/thumbnail.png"
    "$bin/crateward-thumbnailer" -s 128 "$input" "$work/thumbnail.png"
    [ "$(head -c 4 "$work/thumbnail.png" | od -An -c | tr -d ' ')" = '211PNG' ] ||
        fail "no thumbnail of $input"
done
echo "the installed programs work on the demo archive"

echo "-- manuals, AppStream metadata, desktop entry"
for page in "$root"/usr/share/man/man1/*.1.gz; do
    warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml
desktop-file-validate "$root"/usr/share/applications/*.desktop

echo "-- lintian"
# The one warning left is listed in the README: CPack's ldconfig calls.
lintian --fail-on error,warning --suppress-tags maintscript-calls-ldconfig "$deb"
echo "lintian: no errors, no warnings"

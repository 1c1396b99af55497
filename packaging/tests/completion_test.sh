#!/usr/bin/env bash
# Runs the bash completions as bash does on a Tab: COMP_WORDS/COMP_CWORD set,
# the completion function called, COMPREPLY compared.
#   completion_test.sh COMPLETION_DIR BIN_DIR DEMO_ARCHIVE
# Exit 77 (skipped) when bash-completion or the demo archive is missing.
set -u
completions=$1 bin=$2 demo=$3
[ -r /usr/share/bash-completion/bash_completion ] || {
    echo "bash-completion is not installed"
    exit 77
}
[ -r "$demo" ] || {
    echo "$demo is missing"
    exit 77
}
# shellcheck disable=SC1091
source /usr/share/bash-completion/bash_completion
for tool in hpi gaf 3do pcx; do
    # shellcheck disable=SC1090
    source "$completions/$tool"
done
PATH=$bin:$PATH
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir out
touch a.hpi b.UFO c.gaf d.3do e.pcx notes.txt
cp "$demo" demo.hpi

failures=0
# expect "EXPECTED REPLIES (sorted, one line)" WORD...  (the last word is the one completed)
expect() {
    local expected=$1
    shift
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="$*"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    "_${1}" "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//')
    if [ "$got" != "$expected" ]; then
        echo "FAIL: $*: got [$got], expected [$expected]"
        failures=$((failures + 1))
    fi
}

expect "--help --version build export info" gaf ""
expect "c.gaf out" gaf build out ""
expect "extract" hpi ext
expect "--game --help -C" hpi extract demo.hpi -
expect "lz77" hpi pack -m l
expect "a.hpi b.UFO demo.hpi out" hpi list ""
expect "c.gaf out" gaf info ""
expect "unitcheck" hpi unit
expect "--game --help --json" hpi unitcheck -
expect "a.hpi b.UFO demo.hpi out" hpi unitcheck ""
expect "" hpi unitcheck demo.hpi ""
expect "out" gaf export c.gaf ""
expect "d.3do out" 3do objects ""
expect "lit" 3do render d.3do --mode l
expect "out" 3do render --size 64x64 d.3do --textures ""
expect "out" 3do render d.3do --size 64x64 ""
expect "e.pcx out" pcx convert ""
# Member paths of the archive, quoted for the shell.
expect 'unitpics\\ units\\' hpi extract demo.hpi -C out u
expect 'units\\armdemo.fbi' hpi extract demo.hpi 'units\\arm'
expect 'units\\armdemo.fbi' hpi cat demo.hpi 'units\\'
expect "" hpi cat demo.hpi 'units\\armdemo.fbi' ""
expect "" hpi cat --game out ""
expect 'unitpics\\ units\\' hpi cat demo.hpi u
[ "$failures" -eq 0 ] && echo "all completions as expected"
exit $((failures > 0))

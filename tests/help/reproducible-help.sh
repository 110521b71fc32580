#!/bin/sh
# reproducible-help.sh SOURCE_DIR BUILT.chm CHMSTAMP EMBED_TEMPLATE EMBED_SCRIPT
# Compiles the help sources from two folders of different names and depths, with the embed code
# put in as the build does; both results must equal the build's own help file byte for byte.
set -eu
src=$1
built=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/tickora-repro.XXXXXX")
trap 'rm -rf "$work"' EXIT
status=0
for d in a second/much/deeper/folder; do
    mkdir -p "$work/$d"
    cp -R "$src"/. "$work/$d/"
    rm -f "$work/$d/CMakeLists.txt"
    cmake -DTEMPLATE="$4" -DPAGE="$work/$d/html/integration.htm" -P "$5"
    sh "$here/../../scripts/compile-help.sh" "$work/$d" "$work/out.chm" "$3"
    cmp "$work/out.chm" "$built" || status=1
    if grep -q "$work" "$work/out.chm"; then
        echo "the help file names the folder it was built in" >&2
        status=1
    fi
done
[ $status -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $status

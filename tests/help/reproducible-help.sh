#!/bin/sh
# reproducible-help.sh SOURCE_DIR BUILT.chm CHMSTAMP EMBED_TEMPLATE EMBED_SCRIPT
# Compiles the help sources from two folders of different names and depths, with the embed code
# put in as the build does; both results must equal the build's own help file byte for byte.
set -eu
src=$1
built=$2
stamp=$3
embed_template=$4
embed_script=$5
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/tickora-repro.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/a" "$work/second/much/deeper/folder"
cp -R "$src"/. "$work/a/"
cp -R "$src"/. "$work/second/much/deeper/folder/"
for d in "$work/a" "$work/second/much/deeper/folder"; do
    rm -f "$d/CMakeLists.txt"
    cmake -DTEMPLATE="$embed_template" -DPAGE="$d/html/integration.htm" -P "$embed_script"
done
sh "$here/../../scripts/compile-help.sh" "$work/a" "$work/one.chm" "$stamp"
sh "$here/../../scripts/compile-help.sh" "$work/second/much/deeper/folder" "$work/two.chm" "$stamp"
status=0
cmp "$work/one.chm" "$work/two.chm" || status=1
cmp "$work/one.chm" "$built" || status=1
if grep -q "$work" "$work/one.chm"; then
    echo "the help file names the folder it was built in" >&2
    status=1
fi
[ $status -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $status

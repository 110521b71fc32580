#!/bin/sh
# compile-help.sh SOURCE_DIR OUTPUT.chm CHMSTAMP
# Compiles the help project in SOURCE_DIR into OUTPUT.chm so that the file depends on the
# sources alone: the compiler stores every topic it maps as the absolute path it read it from,
# so it runs with the staged project as its root directory (a private mount namespace and
# chroot), which makes those paths the topics' own paths inside the file; address-space
# randomisation is off because the compiler writes a few bytes of uninitialised memory; and the
# compile times are cleared afterwards.
set -eu
src=$1
out=$2
stamp=$3

chmcmd=$(command -v chmcmd) || { echo "error: chmcmd is missing (apt-get install fp-utils)" >&2; exit 1; }
chmcmd=$(readlink -f "$chmcmd")

stage=$(mktemp -d "${TMPDIR:-/tmp}/tickora-help.XXXXXX")
cleanup() {
    # /usr is bound into the stage only inside the private namespace; should it still be
    # there, the stage is left alone rather than removed with what it holds.
    if [ -d "$stage/usr" ] && ! rmdir "$stage/usr" 2>/dev/null; then
        echo "warning: leaving $stage in place" >&2
    else
        rm -rf "$stage"
    fi
}
trap cleanup EXIT
cp -R "$src"/. "$stage"/
rm -f "$stage/CMakeLists.txt"

norandom="setarch $(uname -m) -R"
if unshare -m -r true 2>/dev/null; then
    # shellcheck disable=SC2016
    $norandom unshare -m -r sh -c '
        set -e
        cd "$1"
        mkdir usr
        ln -s usr/lib lib
        ln -s usr/lib64 lib64
        ln -s usr/bin bin
        mount --bind /usr usr
        chroot . "$2" --verbosity 1 tickora.hhp
    ' sh "$stage" "$chmcmd"
    rm -f "$stage/lib" "$stage/lib64" "$stage/bin"
else
    echo "warning: no private mount namespace here; the help file's context map will hold" \
         "this machine's paths" >&2
    (cd "$stage" && $norandom "$chmcmd" --verbosity 1 tickora.hhp)
fi
"$stamp" "$stage/tickora.chm"
mkdir -p "$(dirname "$out")"
cp "$stage/tickora.chm" "$out.tmp"
mv "$out.tmp" "$out"

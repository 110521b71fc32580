#!/usr/bin/env bash
# test-install.sh [BUILD_DIR]: installs the build into a temporary staging folder (DESTDIR) and
# checks what a user would get: launchers that resolve, a complete program folder, a desktop entry
# whose command and icon exist, icons of the sizes their folders claim, a manifest that lists every
# installed file, programs that run from the installed launchers, and a Debian package that holds
# the same files.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
build=$(cd "${1:-$source_dir/build}" && pwd) || exit 2
prefix=/usr
program_dir=lib/tickora-creator

stage=$(mktemp -d)
scratch=$(mktemp -d)
manifest=$build/install_manifest.txt
saved_manifest=
# The manifest of the user's own installation is what uninstalling relies on: keep it.
if [ -e "$manifest" ]; then
    saved_manifest=$scratch/saved_manifest.txt
    cp -p "$manifest" "$saved_manifest"
fi
restore_manifest() {
    if [ -n "$saved_manifest" ]; then
        cp -p "$saved_manifest" "$manifest"
    else
        rm -f "$manifest"
    fi
}
cleanup() {
    restore_manifest
    rm -rf "$stage" "$scratch"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
pass() { echo "ok: $*"; }

if ! DESTDIR=$stage cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" 2>&1; then
    cat "$scratch/install.log"
    echo "FAIL: cmake --install failed"
    exit 1
fi
root=$stage$prefix
cp "$manifest" "$scratch/staged_manifest.txt"
restore_manifest
staged_files=$(cd "$stage" && find . \( -type f -o -type l \) | sed 's|^\.||' | sort)

# The help program runs beside the editor, which starts it from its own folder.
if [ -x "$root/$program_dir/tickora-help" ]; then
    pass "$prefix/$program_dir/tickora-help"
else
    fail "no help program at $prefix/$program_dir/tickora-help"
fi

# Launchers: relative links that lead to the programs inside the staged tree.
for program in tickora-creator tickora-script; do
    launcher=$root/bin/$program
    if [ ! -L "$launcher" ]; then
        fail "$prefix/bin/$program is not a symlink"
        continue
    fi
    case $(readlink "$launcher") in
    /*) fail "$prefix/bin/$program points to an absolute path: $(readlink "$launcher")" ;;
    esac
    if [ "$(readlink -f "$launcher")" != "$(readlink -f "$root/$program_dir/$program")" ] ||
        [ ! -x "$root/$program_dir/$program" ]; then
        fail "$prefix/bin/$program does not lead to the program in $prefix/$program_dir"
    else
        pass "$prefix/bin/$program -> $(readlink "$launcher")"
    fi
done

# The program folder: every data file as it stands in the sources, and the help file.
shopt -s nullglob
data_files=("$source_dir"/data/*.js "$source_dir"/data/*.htm)
shopt -u nullglob
[ ${#data_files[@]} -ge 5 ] || fail "only ${#data_files[@]} data files found in $source_dir/data"
for src in "${data_files[@]}"; do
    name=$(basename "$src")
    if ! cmp -s "$src" "$root/$program_dir/$name"; then
        fail "$prefix/$program_dir/$name is missing or differs from data/$name"
    fi
done
pass "${#data_files[@]} data files in $prefix/$program_dir"
chm=$root/$program_dir/tickora.chm
if [ ! -s "$chm" ] || [ "$(head -c 4 "$chm")" != "ITSF" ]; then
    fail "$prefix/$program_dir/tickora.chm is missing or not a compiled help file"
elif ! cmp -s "$chm" "$build/bin/tickora.chm"; then
    fail "$prefix/$program_dir/tickora.chm differs from the built help file"
else
    pass "help file installed"
fi

# The desktop entry: valid, its command on the installed PATH, its icon in the theme.
entry=$root/share/applications/tickora-creator.desktop
if [ ! -f "$entry" ]; then
    fail "no desktop entry at $prefix/share/applications/tickora-creator.desktop"
else
    key() { sed -n "s/^$1=//p" "$entry" | head -n 1; }
    if command -v desktop-file-validate >/dev/null; then
        if out=$(desktop-file-validate "$entry" 2>&1) && [ -z "$out" ]; then
            pass "desktop entry validates"
        else
            fail "desktop-file-validate: $out"
        fi
    else
        echo "note: desktop-file-validate is not installed (package desktop-file-utils); entry not validated"
    fi
    exec_cmd=$(key Exec | cut -d' ' -f1)
    [ -n "$exec_cmd" ] && [ -x "$root/bin/$exec_cmd" ] ||
        fail "the entry's command \"$exec_cmd\" is not an installed launcher"
    key Exec | grep -q ' %[fFuU]' || fail "the entry's command takes no file: $(key Exec)"
    icon=$(key Icon)
    shopt -s nullglob
    icons=("$root"/share/icons/hicolor/*/apps/"$icon".png)
    shopt -u nullglob
    if [ -z "$icon" ] || [ ${#icons[@]} -eq 0 ]; then
        fail "the entry's icon \"$icon\" is not in $prefix/share/icons/hicolor"
    else
        pass "entry runs $exec_cmd, icon $icon in ${#icons[@]} sizes"
    fi
fi

# Each PNG is as large as its folder says (width and height are bytes 16..23, big-endian).
for png in "$root"/share/icons/hicolor/*x*/apps/*.png; do
    [ -e "$png" ] || continue
    dir=$(basename "$(dirname "$(dirname "$png")")")
    read -r -a b < <(od -An -tu1 -j16 -N8 "$png")
    if [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" != "89504e470d0a1a0a" ] || [ ${#b[@]} -ne 8 ]; then
        fail "$png is not a PNG image"
        continue
    fi
    w=$(((b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3]))
    h=$(((b[4] << 24) | (b[5] << 16) | (b[6] << 8) | b[7]))
    [ "${w}x${h}" = "$dir" ] || fail "$png is ${w}x${h}, its folder says $dir"
done
for size in 16 32 48 64 128 256; do
    [ -f "$root/share/icons/hicolor/${size}x${size}/apps/tickora-creator.png" ] ||
        fail "no ${size}x${size} icon"
done

# Uninstalling by the manifest must leave nothing behind: it lists every file and link.
missing=$(comm -13 <(sort -u "$scratch/staged_manifest.txt") <(echo "$staged_files"))
if [ -n "$missing" ]; then
    fail "installed but not in the manifest: $missing"
else
    pass "manifest lists all $(echo "$staged_files" | wc -l) installed files"
fi

# The tool from its launcher: help, and a write that copies the project files from the program
# folder, which it finds through the link.
if out=$("$root/bin/tickora-script" --help 2>&1) && echo "$out" | grep -q 'tickora-script read'; then
    pass "tickora-script --help"
else
    fail "tickora-script --help: $out"
fi
mkdir -p "$scratch/site"
if "$root/bin/tickora-script" read "$root/$program_dir/default.js" >"$scratch/doc.json" &&
    "$root/bin/tickora-script" write "$scratch/doc.json" "$scratch/site/news.js" 2>"$scratch/write.err"; then
    for name in tickora.htm tickolib.js tickora.js; do
        cmp -s "$root/$program_dir/$name" "$scratch/site/$name" ||
            fail "write did not copy $name from the program folder: $(cat "$scratch/write.err")"
    done
    [ -s "$scratch/site/news.js" ] || fail "write produced no script"
    pass "tickora-script write copies the project files from the program folder"
else
    fail "tickora-script read/write from the launcher: $(cat "$scratch/write.err" 2>/dev/null)"
fi

# The editor from its launcher loads its libraries and answers.
if out=$(QT_QPA_PLATFORM=offscreen "$root/bin/tickora-creator" --version 2>"$scratch/editor.err") &&
    echo "$out" | grep -q '4\.0\.0'; then
    pass "tickora-creator --version: $out"
    # Desktops match the running window to its entry by the window class, which the program
    # takes from its application name (the words before the version).
    wm_class=$(sed -n 's/^StartupWMClass=//p' "$entry")
    [ "$wm_class" = "${out% *}" ] ||
        fail "the entry's StartupWMClass \"$wm_class\" is not the program's window class \"${out% *}\""
else
    fail "tickora-creator --version: $out $(cat "$scratch/editor.err")"
fi

# The Debian package: built into a scratch folder, it holds exactly what the install puts under
# /usr, declares its libraries, and leaves the user's install manifest alone.
if ! cpack --config "$build/CPackConfig.cmake" -B "$scratch/pkg" >"$scratch/cpack.log" 2>&1; then
    fail "cpack failed: $(tail -n 5 "$scratch/cpack.log")"
else
    if [ -n "$saved_manifest" ]; then
        cmp -s "$saved_manifest" "$manifest" || fail "cpack replaced $manifest"
    else
        [ ! -e "$manifest" ] || fail "cpack wrote $manifest"
    fi
    debs=("$scratch"/pkg/tickora-creator_*_*.deb)
    if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
        fail "cpack made no tickora-creator_VERSION_ARCH.deb: $(ls "$scratch/pkg")"
    else
        deb=${debs[0]}
        packed=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\.||' | sort)
        if [ "$packed" != "$staged_files" ]; then
            fail "the package's files differ from the installed ones: $(diff <(echo "$packed") <(echo "$staged_files"))"
        else
            pass "$(basename "$deb") holds the $(echo "$packed" | wc -l) installed files"
        fi
        field() { dpkg-deb -f "$deb" "$1"; }
        [ "$(field Package)" = tickora-creator ] || fail "package name: $(field Package)"
        [ "$(field Section)" = devel ] || fail "section: $(field Section)"
        field Maintainer | grep -q '<support@orbwell.example>' || fail "maintainer: $(field Maintainer)"
        [ -n "$(field Homepage)" ] || fail "no homepage"
        [ "$(field Description | wc -l)" -gt 2 ] || fail "no long description"
        for lib in libqt6widgets6 libqt6webenginewidgets6 libstdc++6; do
            field Depends | grep -q "\b$lib\b" || fail "Depends lacks $lib: $(field Depends)"
        done
        pass "control: $(field Package) $(field Version) $(field Architecture), depends on $(field Depends | tr ',' '\n' | wc -l) packages"
    fi
fi

if [ $failures -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all installation checks passed"

#!/usr/bin/env bash
# What users get from each way of installing: the folder of `cmake --install`, the archive and
# the Debian package, built by CPack from the build tree and taken apart.
# Usage: CMAKE=cmake CPACK=cpack check_packages.sh BUILD_DIR SOURCE_DIR OUTPUT_DIR
set -euo pipefail
build=$1 source=$2 out=$3

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Every file and link under $1, as paths relative to it, against the expected list.
expect_files() {
    local root=$1 expected actual
    shift
    expected=$(printf '%s\n' "$@" | sort)
    actual=$(cd "$root" && find . ! -type d -printf '%P\n' | sort)
    [ "$actual" = "$expected" ] ||
        fail "files under $root:"$'\n'"$actual"$'\n'"expected:"$'\n'"$expected"
}

# The value of key $2 in the desktop entry $1.
entry_value() { sed -n "s/^$2=//p" "$1"; }

expect_entry() {
    local entry=$1 key=$2 expected=$3 actual
    actual=$(entry_value "$entry" "$key")
    [ "$actual" = "$expected" ] || fail "$entry: $key=$actual, expected $expected"
}

# The folder's desktop entry starts the program in it and shows the icon beside it.
expect_folder_entry() {
    local entry=$1 folder=$2 exec=$3
    desktop-file-validate "$entry" || fail "$entry is not a valid desktop entry"
    expect_entry "$entry" Exec "$exec"
    expect_entry "$entry" TryExec "$folder/FARLOUS"
    expect_entry "$entry" Icon "$folder/farlous.png"
}

# The program folder's own files, whichever way it was installed; $2 is the name the sample
# jokes have there.
expect_program_folder() {
    local folder=$1 sample=$2 size
    [ -x "$folder/FARLOUS" ] || fail "$folder/FARLOUS is not executable"
    cmp -s "$folder/$sample" "$source/resources/FARLOUS.TXT" ||
        fail "$folder/$sample is not the sample jokes file"
    # Lines a user adds on a UTF-8 desktop must not turn the whole file into Windows-1252.
    iconv -f UTF-8 -t UTF-8 "$folder/$sample" >/dev/null || fail "$folder/$sample is not UTF-8"
    size=$(png_size "$folder/farlous.png")
    [ "$size" = 128x128 ] || fail "$folder/farlous.png is $size, expected 128x128"
    if readelf -d "$folder/FARLOUS" | grep -Eq 'R(UN)?PATH'; then
        fail "$folder/FARLOUS carries a library search path"
    fi
    # Stripped, as Debian's tools leave a program: no symbol table, no compiler comment.
    if readelf -S "$folder/FARLOUS" | grep -Eq '\.(symtab|comment) '; then
        fail "$folder/FARLOUS is not stripped"
    fi
    if [ "$release" = yes ] && ! hardened "$folder/FARLOUS"; then
        fail "$folder/FARLOUS is not hardened (PIE, full RELRO, stack protector)"
    fi
}

# A Release build is hardened as Debian builds: a position-independent program, relocations
# read-only and bound at start, the stack protected.
release=$(grep -q '^CMAKE_BUILD_TYPE:[A-Z]*=Release$' "$build/CMakeCache.txt" && echo yes || echo no)
hardened() {
    local facts
    facts=$(readelf --wide --file-header --program-headers --dynamic --dyn-syms "$1")
    [[ $facts =~ Type:\ *DYN && $facts == *GNU_RELRO* && $facts == *BIND_NOW* &&
        $facts == *__stack_chk_fail* ]]
}

# Width x height from a PNG's header.
png_size() {
    local bytes
    read -ra bytes < <(od -An -tu1 -j16 -N8 "$1")
    echo "$(((bytes[2] << 8) | bytes[3]))x$(((bytes[6] << 8) | bytes[7]))"
}

rm -rf "$out"
mkdir -p "$out"

# A folder name with blanks, quotes, a backquote, a dollar and a percent sign, which the entry's
# Exec must quote and escape.
odd='/opt/Mes "blagues" `à` 100% $HOME'
DESTDIR="$out/portable" "$CMAKE" --install "$build" --prefix "$odd" >/dev/null
portable="$out/portable$odd"
# Nothing outside the prefix: the menu launcher and themed icons are the Debian package's.
expect_files "$out/portable" "${odd#/}/FARLOUS" "${odd#/}/FARLOUS.TXT" "${odd#/}/farlous.png" \
    "${odd#/}/farlous.desktop" "${odd#/}/LICENSE"
expect_program_folder "$portable" FARLOUS.TXT
expect_folder_entry "$portable/farlous.desktop" "$odd" \
    '"/opt/Mes \\"blagues\\" \\`à\\` 100%% \\$HOME/FARLOUS"'

# The folder's entry as an XDG autostart entry, read by systemd's autostart generator where it is
# installed: a unit is made only when Exec and TryExec both name the program.
generator=/usr/lib/systemd/user-generators/systemd-xdg-autostart-generator
if [ -x "$generator" ]; then
    folder="$out/autostart/Mes \"blagues\" \`à\` \$HOME"
    "$CMAKE" --install "$build" --prefix "$folder" >/dev/null
    mkdir -p "$out/autostart/config/autostart" "$out/autostart/units"
    cp "$folder/farlous.desktop" "$out/autostart/config/autostart/"
    XDG_CONFIG_HOME="$out/autostart/config" XDG_CONFIG_DIRS="$out/autostart/none" \
        "$generator" "$out/autostart/units" "$out/autostart/units" "$out/autostart/units"
    [ -f "$out/autostart/units/app-farlous@autostart.service" ] ||
        fail "the autostart generator made no unit from $folder/farlous.desktop"
else
    echo "autostart check skipped: no $generator"
fi

if ! "$CPACK" --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1; then
    cat "$out/cpack.log" >&2
    fail "cpack failed"
    exit 1
fi

archive=$(echo "$out"/farlous-1.00-*.tar.gz)
mkdir "$out/archive"
tar -xzf "$archive" -C "$out/archive"
expect_files "$out/archive" farlous/FARLOUS farlous/FARLOUS.TXT farlous/farlous.png \
    farlous/farlous.desktop farlous/LICENSE
expect_program_folder "$out/archive/farlous" FARLOUS.TXT
# Made for /opt/farlous, where the README has the archive unpacked.
expect_folder_entry "$out/archive/farlous/farlous.desktop" /opt/farlous '"/opt/farlous/FARLOUS"'

deb="$out/farlous_1.00_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $deb"
root="$out/deb-root"
dpkg-deb -x "$deb" "$root"
sizes=(16 22 24 32 48 64 128 256)
icons=(usr/share/icons/hicolor/scalable/apps/farlous.svg)
for size in "${sizes[@]}"; do icons+=("usr/share/icons/hicolor/${size}x$size/apps/farlous.png"); done
expect_files "$root" opt/farlous/FARLOUS opt/farlous/FARLOUS.TXT.sample opt/farlous/farlous.png \
    opt/farlous/farlous.desktop usr/share/applications/farlous.desktop "${icons[@]}" \
    usr/share/doc/farlous/copyright usr/share/doc/farlous/changelog.gz \
    usr/share/lintian/overrides/farlous
expect_program_folder "$root/opt/farlous" FARLOUS.TXT.sample
expect_folder_entry "$root/opt/farlous/farlous.desktop" /opt/farlous '"/opt/farlous/FARLOUS"'
menu="$root/usr/share/applications/farlous.desktop"
desktop-file-validate "$menu" || fail "$menu is not a valid desktop entry"
expect_entry "$menu" Exec '"/opt/farlous/FARLOUS"'
expect_entry "$menu" Icon farlous
for size in "${sizes[@]}"; do
    icon="$root/usr/share/icons/hicolor/${size}x$size/apps/farlous.png"
    [ "$(png_size "$icon")" = "${size}x$size" ] || fail "$icon is $(png_size "$icon")"
done
owners=$(dpkg-deb -c "$deb" | awk '{print $2}' | sort -u)
[ "$owners" = root/root ] || fail "package files owned by $owners"

# The jokes file is the user's data, which the package's scripts look after: no conffile, whose
# changes would stop an upgrade at a question.
if dpkg-deb -I "$deb" conffiles >/dev/null 2>&1; then
    fail "the package has conffiles: $(dpkg-deb -I "$deb" conffiles)"
fi
for script in postinst prerm postrm; do
    dpkg-deb -I "$deb" "$script" >"$out/$script" || fail "no $script"
    sh -n "$out/$script" || fail "$script is not a valid shell script"
done

doc="$root/usr/share/doc/farlous"
head -n 1 "$doc/copyright" |
    grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "$doc/copyright is not in the machine-readable format"
# As `gzip -9n` makes it: no name, no date (bytes 3 to 7 are zero), maximum compression (byte 8).
header=$(od -An -tx1 -N9 "$doc/changelog.gz" | tr -d ' ')
[ "$header" = 1f8b08000000000002 ] || fail "changelog.gz header $header"
zcat "$doc/changelog.gz" >"$out/changelog"
[ "$(dpkg-parsechangelog -l "$out/changelog" -S Version)" = 1.00 ] ||
    fail "the changelog's last version is not 1.00"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = farlous ] || fail "Package: $(field Package)"
[ "$(field Version)" = 1.00 ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] ||
    fail "Architecture: $(field Architecture)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ "$(field Description | head -n 1)" = "Affichage d'une blague aléatoire" ] ||
    fail "Description: $(field Description | head -n 1)"
# libqt6gui6 must stay: it also carries the X11 platform and JPEG plugins the window loads.
depends=", $(field Depends),"
for package in libqt6core6 libqt6gui6 libqt6widgets6; do
    [[ $depends == *", $package "* || $depends == *", $package,"* ]] ||
        fail "Depends lacks $package: $(field Depends)"
done

# Besides the overridden dir-or-file-in-opt (see packaging/deb/lintian-overrides), nothing that
# lintian, the Debian package checker, calls an error or a warning.
if command -v lintian >/dev/null; then
    lintian --pedantic --fail-on error,warning "$deb" >"$out/lintian.log" 2>&1 ||
        fail "lintian finds errors or warnings in $deb:"$'\n'"$(cat "$out/lintian.log")"
else
    echo "lintian check skipped: no lintian"
fi

# Staging folders mean nothing on the user's machine.
if grep -rlF -e "$build" -e _CPack_Packages "$out/archive" "$root"; then
    fail "a build path leaked into the files above"
fi

[ "$failures" -eq 0 ] || exit 1
echo "packages: $(basename "$archive"), $(basename "$deb")"

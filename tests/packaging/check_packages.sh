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

# The program folder's own files, whichever way it was installed.
expect_program_folder() {
    local folder=$1 size
    [ -x "$folder/FARLOUS" ] || fail "$folder/FARLOUS is not executable"
    cmp -s "$folder/FARLOUS.TXT" "$source/resources/FARLOUS.TXT" ||
        fail "$folder/FARLOUS.TXT is not the sample jokes file"
    size=$(png_size "$folder/farlous.png")
    [ "$size" = 32x32 ] || fail "$folder/farlous.png is $size, expected 32x32"
    if readelf -d "$folder/FARLOUS" | grep -Eq 'R(UN)?PATH'; then
        fail "$folder/FARLOUS carries a library search path"
    fi
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
expect_program_folder "$portable"
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
expect_program_folder "$out/archive/farlous"
# Made for /opt/farlous, where the README has the archive unpacked.
expect_folder_entry "$out/archive/farlous/farlous.desktop" /opt/farlous '"/opt/farlous/FARLOUS"'

deb="$out/farlous_1.00_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $deb"
root="$out/deb-root"
dpkg-deb -x "$deb" "$root"
expect_files "$root" opt/farlous/FARLOUS opt/farlous/FARLOUS.TXT opt/farlous/farlous.png \
    opt/farlous/farlous.desktop opt/farlous/LICENSE usr/share/applications/farlous.desktop \
    usr/share/icons/hicolor/16x16/apps/farlous.png usr/share/icons/hicolor/32x32/apps/farlous.png
expect_program_folder "$root/opt/farlous"
expect_folder_entry "$root/opt/farlous/farlous.desktop" /opt/farlous '"/opt/farlous/FARLOUS"'
menu="$root/usr/share/applications/farlous.desktop"
desktop-file-validate "$menu" || fail "$menu is not a valid desktop entry"
expect_entry "$menu" Exec '"/opt/farlous/FARLOUS"'
expect_entry "$menu" Icon farlous
for size in 16 32; do
    icon="$root/usr/share/icons/hicolor/${size}x$size/apps/farlous.png"
    [ "$(png_size "$icon")" = "${size}x$size" ] || fail "$icon is $(png_size "$icon")"
done
owners=$(dpkg-deb -c "$deb" | awk '{print $2}' | sort -u)
[ "$owners" = root/root ] || fail "package files owned by $owners"

conffiles=$(dpkg-deb -I "$deb" conffiles)
[ "$conffiles" = /opt/farlous/FARLOUS.TXT ] || fail "conffiles: $conffiles"

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

# Staging folders mean nothing on the user's machine.
if grep -rlF -e "$build" -e _CPack_Packages "$out/archive" "$root"; then
    fail "a build path leaked into the files above"
fi

[ "$failures" -eq 0 ] || exit 1
echo "packages: $(basename "$archive"), $(basename "$deb")"

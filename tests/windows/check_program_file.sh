#!/usr/bin/env bash
# What FARLOUS.EXE carries, read back from the file as Windows would find it: the icon's three
# images, the version record, the manifest and the logo; and that it needs no DLL beyond Windows'
# own. Prints the resource listing.
# Usage: OBJDUMP=x86_64-w64-mingw32-objdump check_program_file.sh FARLOUS.EXE SOURCE_DIR
set -euo pipefail
exe=$1 source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

wrestool --list "$exe"

# Icon group 1: 32 x 32 in two colours, 32 x 32 and 16 x 16 in sixteen.
wrestool --extract --type=14 --name=1 --output="$work/icon.ico" "$exe"
icons=$(icotool --list "$work/icon.ico" | sed 's/^--icon //' | sort)
expected=$(printf '%s\n' '--index=1 --width=32 --height=32 --bit-depth=1 --palette-size=2' \
    '--index=2 --width=32 --height=32 --bit-depth=4 --palette-size=16' \
    '--index=3 --width=16 --height=16 --bit-depth=4 --palette-size=16' | sort)
[ "$icons" = "$expected" ] || fail "icon images:"$'\n'"$icons"
# Each image as a PNG, named after the file it comes from: the two files go by the same name.
mkdir "$work/carried" "$work/source"
cp "$source/resources/icon/farlous.ico" "$work/source/icon.ico"
mv "$work/icon.ico" "$work/carried/icon.ico"
for folder in "$work/carried" "$work/source"; do
    icotool --extract --output="$folder" "$folder/icon.ico"
    rm "$folder/icon.ico"
done
diff -r "$work/carried" "$work/source" >/dev/null || fail "the icon's images are not farlous.ico's"

# The version record: 1.0.0.0 as numbers, "1.00" as text, in French.
wrestool --extract --raw --type=16 --name=1 "$exe" >"$work/version.bin"
# VS_FIXEDFILEINFO: its signature, then the structure's version, then the file version.
fixed=$(od -A n -t x4 -j 40 -N 16 "$work/version.bin" | tr -s ' ')
[ "$fixed" = " feef04bd 00010000 00010000 00000000" ] || fail "fixed version record:$fixed"
strings=$(iconv -f UTF-16LE -t UTF-8 <"$work/version.bin" | tr -c '[:print:]\200-\377' '\n' |
    grep -v '^$')
for pair in "FileDescription|Affichage d'une blague aléatoire" "FileVersion|1.00" \
    "ProductVersion|1.00" "OriginalFilename|FARLOUS.EXE" "ProductName|Zinoquet"; do
    key=${pair%%|*} value=${pair#*|}
    actual=$(grep -A1 -xF "$key" <<<"$strings" | sed -n 2p)
    [ "$actual" = "$value" ] || fail "version: $key is \"$actual\", expected \"$value\""
done
grep -qxF 040C04B0 <<<"$strings" || fail "version: no French Unicode block (040C04B0)"

# The manifest: DPI awareness, the common controls 6 and their visual styles, no elevation.
manifest=$(wrestool --extract --raw --type=24 --name=1 "$exe")
for wanted in '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true</dpiAware>' \
    'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' \
    'requestedExecutionLevel level="asInvoker"'; do
    grep -qF "$wanted" <<<"$manifest" || fail "manifest lacks $wanted"
done

# The logo, byte for byte, under the resource path of the window's design.
wrestool --extract --raw --type=10 --name=LOGO/GLIMBO.JPG "$exe" >"$work/logo.jpg"
cmp -s "$work/logo.jpg" "$source/resources/logo/glimbo.jpg" || fail "the logo is not glimbo.jpg"

# Windows' own DLLs only: the compiler's runtime is inside.
dlls=$("$OBJDUMP" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr '[:upper:]' '[:lower:]' | sort)
for dll in $dlls; do
    case $dll in
        kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | ole32.dll | msvcrt.dll) ;;
        *) fail "needs $dll" ;;
    esac
done

[ "$failures" -eq 0 ] || exit 1
echo "FARLOUS.EXE: icon, version record, manifest and logo as expected; DLLs: $(echo $dlls)"

#!/usr/bin/env bash
# What FARLOUS.EXE is and carries, read back from the file: a 32-bit x86 Windows program that
# needs no DLL beyond Windows' own, with the icon, the version record, the manifest and the logo.
# Usage: OBJDUMP=i686-w64-mingw32-objdump check_program_file.sh FARLOUS.EXE SOURCE_DIR
set -euo pipefail
exe=$1 source=$2 failed=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2 && failed=1; }

"$OBJDUMP" -f "$exe" | grep -q 'file format pei-i386$' || fail "not a PE32 i386 program"
# The compiler's runtime is inside.
dlls=$("$OBJDUMP" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr '[:upper:]' '[:lower:]')
others=$(grep -vxE '(kernel32|user32|gdi32|advapi32|ole32|msvcrt)\.dll' <<<"$dlls" || true)
[ -z "$others" ] || fail "needs "$others

# Icon group 1 holds farlous.ico's images, each written out under the same name from both.
mkdir "$work/carried" "$work/source"
wrestool -x -t14 -n1 -o "$work/carried/i.ico" "$exe"
cp "$source/resources/icon/farlous.ico" "$work/source/i.ico"
for folder in "$work/carried" "$work/source"; do icotool -x -o "$folder" "$folder/i.ico"; done
diff -r -x i.ico "$work/carried" "$work/source" >/dev/null || fail "the icon is not farlous.ico"
# The logo at 1x and 2x: the JPEG files' pixels as bitmaps, stored without the bitmap file's header.
for logo in glimbo glimbo@2x; do
    wrestool -x --raw -t2 -n "LOGO/${logo^^}.JPG" "$exe" |
        cmp -s - <(djpeg -bmp "$source/resources/logo/$logo.jpg" | tail -c +15) ||
        fail "the logo is not $logo.jpg"
done

# The version record, 1.00 in French (040C) Unicode (04B0), and a manifest that makes the program
# aware of the screen's dots per inch and gives it the common controls 6, without elevation.
strings=\|$(wrestool -x --raw -t16 -n1 "$exe" | iconv -f UTF-16LE -t UTF-8 |
    tr -c '[:print:]\200-\377' '\n' | grep . | tr '\n' '|')
for pair in 040C04B0 "FileDescription|Affichage d'une blague aléatoire" "FileVersion|1.00" \
    "ProductVersion|1.00" "OriginalFilename|FARLOUS.EXE" "ProductName|Zinoquet"; do
    [[ $strings == *"|$pair|"* ]] || fail "the version record lacks $pair"
done
manifest=$(wrestool -x --raw -t24 -n1 "$exe")
for wanted in '>true</dpiAware>' 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' \
    'requestedExecutionLevel level="asInvoker"'; do
    grep -qF "$wanted" <<<"$manifest" || fail "manifest lacks $wanted"
done
[ "$failed" -eq 0 ] && echo "FARLOUS.EXE: PE32 i386, its resources as expected; DLLs:" $dlls

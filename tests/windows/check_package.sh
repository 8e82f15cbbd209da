#!/usr/bin/env bash
# The ZIP archive users unpack on Windows, made by CPack from the build tree and taken apart: a
# folder FARLOUS holding the 32-bit program, the sample jokes, and texts for Notepad: the read-me
# in French, the licence and the notices of what the program carries from others. The program
# needs no DLL beyond Windows' own and carries its icon, logo, version record and manifest.
# Usage: CMAKE=cmake CPACK=cpack OBJDUMP=i686-w64-mingw32-objdump check_package.sh BUILD SOURCE
set -euo pipefail
build=$1 source=$2 failed=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2 && failed=1; }

"$CPACK" -G ZIP --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
cd "$work"
listing=$("$CMAKE" -E tar xvf FARLOUS-1.00-windows-x86.zip 2>&1)
[ "$listing" = "$(printf 'x FARLOUS/%s\n' FARLOUS.EXE FARLOUS.TXT LICENSE.txt LISEZMOI.txt \
    THIRD-PARTY-NOTICES.txt)" ] || fail "archive holds:"$'\n'"$listing"
cd FARLOUS
cmp -s FARLOUS.TXT "$source/resources/FARLOUS.TXT" || fail "FARLOUS.TXT is not the sample jokes"
cmp -s FARLOUS.EXE "$build/FARLOUS.EXE" || fail "FARLOUS.EXE is not the program built"
[[ $(file -b FARLOUS.EXE) == "PE32 executable (GUI) Intel 80386"* ]] || fail "not PE32 i386"
sed 's/$/\r/' "$source/LICENSE" | cmp -s - LICENSE.txt || fail "LICENSE.txt is not LICENSE in CRLF"
! grep -lv $'\r$' LISEZMOI.txt THIRD-PARTY-NOTICES.txt || fail "lines without CR LF in the above"
[ "$(head -c 3 LISEZMOI.txt | od -An -tx1)" = " ef bb bf" ] || fail "LISEZMOI.txt has no UTF-8 mark"

# Lines users follow, and the texts the licences of what is linked in must carry.
while IFS='|' read -r text line; do
    grep -qxF -- "$line" <(tr -d '\r' <"$text" | sed '1s/^\xef\xbb\xbf//') || fail "$text lacks: $line"
done <<'LINES'
LISEZMOI.txt|  Décompressez l'archive dans C:\ : elle y crée le dossier C:\FARLOUS.
LISEZMOI.txt|  c'est là que le programme le cherche.
LISEZMOI.txt|  Pour une blague à chaque ouverture de session : touches Windows + R, tapez shell:startup,
LISEZMOI.txt|  Entrée ; dans ce dossier, clic droit, Nouveau, Raccourci, et choisissez C:\FARLOUS\FARLOUS.EXE.
LISEZMOI.txt|  reg add "HKCU\Software\VB and VBA Program Settings\FARLOUS\Options" /v "Show Tips at Startup" /d 0 /f
LISEZMOI.txt|  FARLOUS se ferme alors aussitôt lancé. Pour le retrouver, relancez la commande avec /d 1.
LISEZMOI.txt|  Si vous avez mis le réglage, effacez-le aussi :
LISEZMOI.txt|  Supprimez le raccourci que vous avez mis dans shell:startup, puis le dossier C:\FARLOUS.
LISEZMOI.txt|  reg delete "HKCU\Software\VB and VBA Program Settings\FARLOUS" /f
THIRD-PARTY-NOTICES.txt|Copyright (c) 2011-2016 mingw-w64 project
THIRD-PARTY-NOTICES.txt|Permission is hereby granted, free of charge, to any person obtaining
THIRD-PARTY-NOTICES.txt|GCC RUNTIME LIBRARY EXCEPTION
THIRD-PARTY-NOTICES.txt|You have permission to propagate a work of Target Code formed by
THIRD-PARTY-NOTICES.txt|Copyright (c) 2009-2016 the mingw-w64 project
LINES

# The compiler's runtime is inside the program, which imports from Windows' own DLLs only.
! "$OBJDUMP" -p FARLOUS.EXE | sed -n 's/^\s*DLL Name: //p' |
    grep -vixE '(kernel32|user32|gdi32|advapi32|ole32|msvcrt)\.dll' || fail "needs the DLLs above"
# Icon group 1 holds farlous.ico's images, each written out under the same name from both.
mkdir "$work/carried" "$work/source" && cp "$source/resources/icon/farlous.ico" "$work/source/i.ico"
wrestool -x -t14 -n1 -o "$work/carried/i.ico" FARLOUS.EXE
for icon in "$work"/{carried,source}/i.ico; do icotool -x -o "${icon%/*}" "$icon"; done
diff -r -x i.ico "$work/carried" "$work/source" >/dev/null || fail "the icon is not farlous.ico"
# The logo at 1x and 2x: the JPEG files' pixels as bitmaps, stored without the bitmap file's header.
for logo in glimbo glimbo@2x; do
    wrestool -x --raw -t2 -n "LOGO/${logo^^}.JPG" FARLOUS.EXE |
        cmp -s - <(djpeg -bmp "$source/resources/logo/$logo.jpg" | tail -c +15) ||
        fail "the logo is not $logo.jpg"
done
# The version record, 1.00 in French (040C) Unicode (04B0), its texts between "|", the language
# it declares last (the pair 040C 04B0 read as two UTF-16 characters); and a manifest that names
# the program with a version of four numbers, without which Windows refuses to start it, makes it
# aware of the screen's dots per inch and of long paths and gives it Microsoft's common controls 6,
# whatever the processor, without elevation.
resources=$(wrestool -x --raw -t16 -n1 FARLOUS.EXE | iconv -f UTF-16LE -t UTF-8 |
    tr -cs '[:print:]\200-\377' '|' && wrestool -x --raw -t24 -n1 FARLOUS.EXE)
for wanted in '|040C04B0|' "|FileDescription|Affichage d'une blague aléatoire|" \
    '|FileVersion|1.00|' '|ProductVersion|1.00|' '|OriginalFilename|FARLOUS.EXE|' \
    '|ProductName|Zinoquet|' "|Translation|"$'\xd0\x8c\xd2\xb0' '>true</dpiAware>' \
    '>true</longPathAware>' 'requestedExecutionLevel level="asInvoker" uiAccess="false"' \
    'name="Glimbo.FARLOUS" version="1.0.0.0"' \
    'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' \
    'processorArchitecture="*" publicKeyToken="6595b64144ccf1df" language="*"'; do
    [[ $resources == *"$wanted"* ]] || fail "the version record or manifest lacks $wanted"
done
# The version numbers Windows shows, file then product, 1.0.0.0 each: after the record's signature
# FEEF04BD and its structure's version, each as two 32-bit words, high then low, little-endian.
[[ $(wrestool -x --raw -t16 -n1 FARLOUS.EXE | od -An -tx1 -v | tr -d ' \n') == \
    *bd04effe0000010000000100000000000000010000000000* ]] || fail "version is not 1.0.0.0"
exit "$failed"

#!/usr/bin/env bash
# The ZIP archive users unpack on Windows, made by CPack from the build tree and taken apart: a
# folder FARLOUS holding the 32-bit program, the sample jokes, and texts for Notepad: the read-me
# in French, the licence and the notices of what the program carries from others.
# Usage: CMAKE=cmake CPACK=cpack check_package.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() { echo "FAIL: $*" >&2 && failures=$((failures + 1)); }

"$CPACK" -G ZIP --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
archive="$work/FARLOUS-1.00-windows-x86.zip"

listing=$("$CMAKE" -E tar tf "$archive")
expected=$(printf 'FARLOUS/%s\n' FARLOUS.EXE FARLOUS.TXT LICENSE.txt LISEZMOI.txt \
    THIRD-PARTY-NOTICES.txt)
[ "$listing" = "$expected" ] || fail "archive holds:"$'\n'"$listing"

mkdir "$work/unpacked"
(cd "$work/unpacked" && "$CMAKE" -E tar xf "$archive")
cd "$work/unpacked/FARLOUS"
cmp -s FARLOUS.TXT "$source/resources/FARLOUS.TXT" || fail "FARLOUS.TXT is not the sample jokes file"
cmp -s FARLOUS.EXE "$build/FARLOUS.EXE" || fail "FARLOUS.EXE is not the program built"
[[ $(file -b FARLOUS.EXE) == "PE32 executable (GUI) Intel 80386"* ]] ||
    fail "FARLOUS.EXE is a $(file -b FARLOUS.EXE)"
sed 's/$/\r/' "$source/LICENSE" | cmp -s - LICENSE.txt || fail "LICENSE.txt is not LICENSE in CRLF"
! grep -lv $'\r$' LISEZMOI.txt THIRD-PARTY-NOTICES.txt || fail "lines without CR LF in the above"
[ "$(head -c 3 LISEZMOI.txt | od -An -tx1)" = " ef bb bf" ] || fail "LISEZMOI.txt has no UTF-8 mark"

# Lines users follow, and the texts the licences of what is linked in must carry.
lines() { tr -d '\r' <"$1" | sed '1s/^\xef\xbb\xbf//'; }
while IFS='|' read -r text line; do
    grep -qxF -- "$line" <(lines "$text") || fail "$text lacks: $line"
done <<'EOF'
LISEZMOI.txt|  Décompressez l'archive dans C:\ : elle y crée le dossier C:\FARLOUS.
LISEZMOI.txt|  Entrée ; dans ce dossier, clic droit, Nouveau, Raccourci, et choisissez C:\FARLOUS\FARLOUS.EXE.
LISEZMOI.txt|  reg add "HKCU\Software\VB and VBA Program Settings\FARLOUS\Options" /v "Show Tips at Startup" /d 0 /f
LISEZMOI.txt|  Supprimez le raccourci que vous avez mis dans shell:startup, puis le dossier C:\FARLOUS.
THIRD-PARTY-NOTICES.txt|Copyright (c) 2011-2016 mingw-w64 project
THIRD-PARTY-NOTICES.txt|Permission is hereby granted, free of charge, to any person obtaining
THIRD-PARTY-NOTICES.txt|GCC RUNTIME LIBRARY EXCEPTION
THIRD-PARTY-NOTICES.txt|You have permission to propagate a work of Target Code formed by
THIRD-PARTY-NOTICES.txt|Copyright (c) 2009-2016 the mingw-w64 project
EOF

[ "$failures" -eq 0 ] || exit 1
echo "$(basename "$archive"): $(echo $listing)"

#!/usr/bin/env bash
# The ZIP archive users unpack on Windows, made by CPack from the build tree and taken apart: a
# folder FARLOUS holding the program, the sample jokes and the licence, nothing else.
# Usage: CMAKE=cmake CPACK=cpack check_package.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

"$CPACK" --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
archive="$work/FARLOUS-1.00-windows-x86.zip"
[ -f "$archive" ] || { fail "no $(basename "$archive") among: $(ls "$work")"; exit 1; }

listing=$("$CMAKE" -E tar tf "$archive")
expected=$(printf '%s\n' FARLOUS/FARLOUS.EXE FARLOUS/FARLOUS.TXT FARLOUS/LICENSE)
[ "$listing" = "$expected" ] || fail "archive holds:"$'\n'"$listing"

mkdir "$work/unpacked"
(cd "$work/unpacked" && "$CMAKE" -E tar xf "$archive")
cmp -s "$work/unpacked/FARLOUS/FARLOUS.TXT" "$source/resources/FARLOUS.TXT" ||
    fail "FARLOUS.TXT is not the sample jokes file"
cmp -s "$work/unpacked/FARLOUS/LICENSE" "$source/LICENSE" || fail "LICENSE is not the licence"
cmp -s "$work/unpacked/FARLOUS/FARLOUS.EXE" "$build/FARLOUS.EXE" ||
    fail "FARLOUS.EXE is not the program built"

[ "$failures" -eq 0 ] || exit 1
echo "$(basename "$archive"): $(echo $listing)"

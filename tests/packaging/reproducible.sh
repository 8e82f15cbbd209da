#!/usr/bin/env bash
# Two builds of the committed sources, in two folders and at two times, give the same packages
# byte for byte.
# Usage: CMAKE=cmake CPACK=cpack reproducible.sh SOURCE_DIR [TOOLCHAIN_FILE]
set -euo pipefail
source=$1 toolchain=${2:-}
fail() { echo "FAIL: $*" >&2 && exit 1; }
git -C "$source" rev-parse 2>/dev/null || { echo "skipped: $source is no git clone" && exit 77; }
first=$(mktemp -d) second=$(mktemp -d)
trap 'rm -rf "$first" "$second"' EXIT
build() {
    git clone -q "$source" "$1/source"
    "$CMAKE" -S "$1/source" -B "$1/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
        ${toolchain:+"-DCMAKE_TOOLCHAIN_FILE=$toolchain"} >/dev/null
    "$CMAKE" --build "$1/build" --target FARLOUS >/dev/null
    "$CPACK" --config "$1/build/CPackConfig.cmake" -B "$1/packages" &>"$1/log" || fail "$(cat "$1/log")"
}
build "$first"
sleep 1
build "$second"
shopt -s nullglob && cd "$first/packages" && packages=(*.deb *.tar.gz *.zip *.exe)
sha256sum "${packages[@]}"
for package in "${packages[@]}"; do
    cmp "$package" "$second/packages/$package" || fail "$package differs"
done

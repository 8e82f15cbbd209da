#!/usr/bin/env bash
# Builds the Windows program and its start-up bench (scripts/test-windows's build), then times the
# start to the window under Wine on a private X server, against a bare Win32 window.
# Usage: bench/windows-startup.sh [rounds]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
farlous_require_packages cmake ninja-build "${FARLOUS_WINDOWS_PACKAGES[@]}"

cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DFARLOUS_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build build-windows -j2 --target FARLOUS farlous_sample_jokes farlous_wine_prefix \
    farlous_minimal_window farlous_windows_startup_bench >/dev/null

xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash -c '
    cd build-windows
    ./wine-run wineserver -k 2>/dev/null || true
    ./wine-run wineserver -p
    trap "./wine-run wineserver -k" EXIT
    ./wine-run wineboot >/dev/null 2>&1
    windows_path() { ./wine-run winepath -w "$PWD/$1" 2>/dev/null; }
    ./wine-run bench/windows/farlous_windows_startup_bench.exe "$(windows_path FARLOUS.EXE)" \
        "$(windows_path bench/windows/farlous_minimal_window.exe)" "$0"' "${1:-15}"

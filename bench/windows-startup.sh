#!/usr/bin/env bash
# Builds the Windows program and its start-up bench into build-windows-bench/, then times the start
# to the window under 32-bit Wine on a private X server, against a bare Win32 window with the
# program's manifest. EARLIER.EXE, another build of FARLOUS.EXE, is timed in the same runs.
# Usage: bench/windows-startup.sh [rounds [EARLIER.EXE]]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
farlous_require_packages cmake ninja-build "${FARLOUS_WINDOWS_PACKAGES[@]}"

build=build-windows-bench
cmake -S . -B $build -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DFARLOUS_BENCHMARKS=ON \
    -DFARLOUS_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build $build -j2 --target FARLOUS farlous_sample_jokes farlous_minimal_window \
    farlous_windows_startup_bench >/dev/null
# The earlier build runs from the same folder, beside the same jokes.
rm -f $build/EARLIER.EXE
[ -z "${2:-}" ] || cp "$2" $build/EARLIER.EXE

xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash -c '
    cd "$1"
    run=bench/windows/wine-run
    $run wineserver -k 2>/dev/null || true
    $run wineserver -p
    trap "$run wineserver -k" EXIT
    $run wineboot >/dev/null 2>&1
    programs=(FARLOUS.EXE bench/windows/farlous_minimal_window.exe)
    [ ! -e EARLIER.EXE ] || programs+=(EARLIER.EXE)
    for i in "${!programs[@]}"; do
        programs[i]=$($run winepath -w "$PWD/${programs[i]}" 2>/dev/null)
    done
    $run bench/windows/farlous_windows_startup_bench.exe \
        "${programs[@]:0:2}" "$2" "${programs[@]:2}"' \
    windows-startup "$build" "${1:-15}"

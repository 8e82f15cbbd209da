#!/usr/bin/env bash
# Builds FARLOUS and the benchmarks, then times start-up on a private X server, with a session bus
# as in any desktop session (programs look there for the accessibility bus as they start).
# Usage: bench/startup.sh [rounds]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
farlous_require_packages "${FARLOUS_RUN_PACKAGES[@]}" xvfb libx11-dev zenity dbus-daemon at-spi2-core

cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DFARLOUS_BENCHMARKS=ON >/dev/null
cmake --build build-bench -j2 >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# -a picks a free display; without a window manager every window maps straight onto the root.
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" dbus-run-session -- \
    build-bench/bench/farlous_startup_bench build-bench/FARLOUS build-bench/bench/farlous_empty_window \
    resources/FARLOUS.TXT "$work/run" "${1:-15}"

#!/usr/bin/env bash
# Installs the Debian package for real, as a user would with apt, starts the program from its menu
# entry under a private X server, then removes the package. It changes the system, so it runs only
# as root in CI, whose machine is not shared and is thrown away afterwards.
# Usage: install_deb.sh PACKAGES_DIR
set -euo pipefail
packages=$1
skip=77

if [ "${CI:-}" != true ] || [ "$(id -u)" -ne 0 ]; then
    echo "skipped: installs into /opt/farlous, so runs only as root with CI=true"
    exit "$skip"
fi
for tool in apt-get xvfb-run xwininfo; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool missing"; exit "$skip"; }
done

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
apt_get() { DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 -y -q "$@"; }
# The log is shown only when apt fails.
apt_install() { apt_get install "$@" >"$scratch/apt.log" 2>&1 || fail "$(cat "$scratch/apt.log")"; }

deb="$packages/farlous_1.00_$(dpkg --print-architecture).deb"
scratch=$(mktemp -d)
cleanup() {
    apt_get purge farlous >/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

apt_install "$deb"
status=$(dpkg-query -W -f '${Status}' farlous)
[ "$status" = "install ok installed" ] || fail "farlous is '$status'"

# The program as the menu starts it: Exec holds one quoted path.
program=$(sed -n 's/^Exec="\(.*\)"$/\1/p' /usr/share/applications/farlous.desktop)
[ "$program" = /opt/farlous/FARLOUS ] || fail "the menu starts '$program'"

# The user's own jokes outlive a reinstall or an upgrade of the package.
echo "Une blague à moi." >/opt/farlous/FARLOUS.TXT
apt_install --reinstall "$deb"
[ "$(cat /opt/farlous/FARLOUS.TXT)" = "Une blague à moi." ] ||
    fail "reinstalling replaced the user's jokes file"

# A fresh user: no setting can keep the window hidden.
mkdir -m 700 "$scratch/config" "$scratch/runtime"
cat >"$scratch/start.sh" <<'START'
program=$1
"$program" &
pid=$!
# The program's window has the class FARLOUS; Qt's helper windows have none.
for _ in $(seq 200); do
    window=$(xwininfo -root -tree | sed -n 's/^ *\(0x[0-9a-f]*\) ".*("FARLOUS" "FARLOUS").*/\1/p' |
        head -n 1)
    if [ -n "$window" ] && xwininfo -id "$window" | grep -q 'Map State: IsViewable'; then
        kill "$pid"
        echo "the installed program shows its window"
        exit 0
    fi
    kill -0 "$pid" 2>/dev/null || { echo "FAIL: the program ended without a window" >&2; exit 1; }
    sleep 0.1
done
kill "$pid"
echo "FAIL: no window after 20 s" >&2
exit 1
START
env XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch/runtime" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-nolisten tcp" bash "$scratch/start.sh" "$program"

cleanup
trap - EXIT
for path in /opt/farlous /usr/share/applications/farlous.desktop; do
    [ ! -e "$path" ] || fail "$path is left after removal"
done

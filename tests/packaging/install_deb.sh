#!/usr/bin/env bash
# Installs the Debian package for real, as a user would with apt, starts the program from its menu
# entry under a private X server, upgrades it to later versions whose sample jokes differ, then
# removes and purges it, following the jokes file all along. Every apt run has no terminal, as
# unattended upgrades have none: a question would fail it. It changes the system, so it runs only
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
apt_get() {
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 -y -q "$@" </dev/null
}
# The log is shown only when apt fails; the package must then be fully installed.
apt_run() {
    apt_get "$@" >"$scratch/apt.log" 2>&1 || fail "apt-get $*: $(cat "$scratch/apt.log")"
}
apt_install() {
    apt_run install "$@"
    expect_status installed
}
# installed, config-files (removed), not-installed (purged)...
expect_status() {
    local status
    status=$(dpkg-query -W -f '${db:Status-Status}' farlous 2>/dev/null) || status=not-installed
    [ "$status" = "$1" ] || fail "farlous is $status, expected $1"
}
jokes=/opt/farlous/FARLOUS.TXT
expect_jokes() { [ "$(cat "$jokes")" = "$1" ] || fail "$2: $jokes holds '$(head -c 200 "$jokes")'"; }

# The package again as version $1 whose sample jokes are the line $2, written to $3: the same
# files and scripts, as a rebuild with a changed sample would make.
repackage() {
    local tree="$scratch/tree-$1"
    dpkg-deb -R "$deb" "$tree"
    sed -i "s/^Version: .*/Version: $1/" "$tree/DEBIAN/control"
    echo "$2" >"$tree/opt/farlous/FARLOUS.TXT.sample"
    (cd "$tree" && find . -path ./DEBIAN -prune -o -type f -printf '%P\0' | sort -z |
        xargs -0 md5sum >DEBIAN/md5sums)
    dpkg-deb --root-owner-group -b "$tree" "$3" >/dev/null
}

deb="$packages/farlous_1.00_$(dpkg --print-architecture).deb"
scratch=$(mktemp -d)
cleanup() {
    apt_get purge farlous >/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

# What follows expects a machine that never had the package.
[ ! -e /opt/farlous ] || fail "/opt/farlous is already there"
apt_install "$deb"
cmp -s "$jokes" /opt/farlous/FARLOUS.TXT.sample || fail "installing put no sample jokes in $jokes"

# The program as the menu starts it: Exec holds one quoted path.
program=$(sed -n 's/^Exec="\(.*\)"$/\1/p' /usr/share/applications/farlous.desktop)
[ "$program" = /opt/farlous/FARLOUS ] || fail "the menu starts '$program'"

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

# Untouched sample jokes follow the package's new sample.
repackage 1.01 "Blague d'exemple de la version 1.01." "$scratch/farlous_1.01.deb"
repackage 1.02 "Blague d'exemple de la version 1.02." "$scratch/farlous_1.02.deb"
apt_install "$scratch/farlous_1.01.deb"
expect_jokes "Blague d'exemple de la version 1.01." "upgrading kept the old sample"

# The user's own jokes outlive an upgrade bringing a new sample, and a reinstall.
echo "Une blague à moi." >"$jokes"
apt_install "$scratch/farlous_1.02.deb"
expect_jokes "Une blague à moi." "upgrading replaced the user's jokes"
apt_install --reinstall "$scratch/farlous_1.02.deb"
expect_jokes "Une blague à moi." "reinstalling replaced the user's jokes"

# Removing keeps them, with nothing else of the package in its folder; purging takes them.
apt_run remove farlous
expect_status config-files
[ "$(ls -A /opt/farlous)" = FARLOUS.TXT ] || fail "removal left $(ls -A /opt/farlous)"
expect_jokes "Une blague à moi." "removing took the user's jokes"
apt_run purge farlous
expect_status not-installed
[ ! -e /opt/farlous ] || fail "purging left $(ls -A /opt/farlous)"

# Removing takes untouched sample jokes along, and the folder with them.
apt_install "$scratch/farlous_1.02.deb"
expect_jokes "Blague d'exemple de la version 1.02." "installing after a purge"
apt_run remove farlous
[ ! -e /opt/farlous ] || fail "removal left $(ls -A /opt/farlous)"

cleanup
trap - EXIT
for path in /opt/farlous /usr/share/applications/farlous.desktop /var/lib/farlous; do
    [ ! -e "$path" ] || fail "$path is left after purging"
done
echo "installed, upgraded, removed and purged without a question"

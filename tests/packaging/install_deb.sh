#!/usr/bin/env bash
# Installs the Debian package for real with apt, starts the program, upgrades to it from every
# package released before and from it to versions whose sample jokes differ, removes and purges
# it, following the jokes file all along. apt runs without a terminal, as unattended upgrades do:
# a question would fail it. It changes the system, so it runs only as root in CI, whose machine
# is thrown away afterwards.
# Usage: CMAKE=cmake CPACK=cpack install_deb.sh PACKAGES_DIR SOURCE_DIR
set -euo pipefail
[ "${CI:-}" = true ] && [ "$(id -u)" = 0 ] ||
    { echo "skipped: installs into /opt/farlous, so runs only as root with CI=true" && exit 77; }
fail() { echo "FAIL: $*" >&2 && exit 1; }
[ ! -e /opt/farlous ] || fail "/opt/farlous is there already"
scratch=$(mktemp -d)
trap 'apt-get purge -y -q farlous >/dev/null 2>&1 || true; rm -rf "$scratch" /opt/farlous' EXIT
apt() { DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 -y -q "$@" </dev/null \
    >"$scratch/log" 2>&1 || fail "$(cat "$scratch/log")"; }
# After step $1: the package's state, what /opt/farlous and /var/lib/farlous hold (- when they
# are gone; a link marked @), and the jokes file: "sample" while it is the package's sample, else
# its first line.
# dpkg finds every file of the package as it was installed.
expect() {
    now=$(dpkg-query -W -f '${db:Status-Status}' farlous 2>/dev/null) || now=not-installed
    now+=" | $(LC_ALL=C ls -A --indicator-style=file-type /opt/farlous 2>/dev/null | xargs -r ||
        echo -)"
    now+=" | $(LC_ALL=C ls -A /var/lib/farlous 2>/dev/null | xargs -r || echo -)"
    cmp -s /opt/farlous/FARLOUS.TXT{,.sample} && now+=" | sample" || now+=" | $(head -qn 1 \
        /opt/farlous/*.[Tt][Xx][Tt] 2>/dev/null | tr -d '\r' | paste -sd / || true)"
    [ "$now" = "$2" ] || fail "$1: $now"$'\n'"expected: $2"
    verify=$(dpkg --verify farlous 2>/dev/null) || true
    [ -z "$verify" ] || fail "$1: dpkg --verify: $verify"
}
# The package again as version $1, whose sample jokes are one line.
version() {
    dpkg-deb -R "$deb" "$scratch/$1"
    sed -i "s/^Version: .*/Version: $1/" "$scratch/$1/DEBIAN/control"
    echo "Blague d'exemple $1." >"$scratch/$1/opt/farlous/FARLOUS.TXT.sample"
    sum=$(cd "$scratch/$1" && md5sum opt/farlous/FARLOUS.TXT.sample)
    sed -i "s|.*FARLOUS.TXT.sample|$sum|" "$scratch/$1/DEBIAN/md5sums"
    dpkg-deb --root-owner-group -b "$scratch/$1" "$scratch/farlous_$1.deb" >/dev/null
}
# The package released from commit $1, built from its sources: the builds ship no binary file.
released() {
    git -C "$source" archive --prefix="$1/" "$1" | tar -x -C "$scratch"
    "$CMAKE" -S "$scratch/$1" -B "$scratch/$1/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DBUILD_TESTING=OFF >/dev/null && "$CMAKE" --build "$scratch/$1/build" --target FARLOUS >/dev/null
    "$CPACK" --config "$scratch/$1/build/CPackConfig.cmake" -G DEB -B "$scratch/$1" &>/dev/null ||
        fail "cannot package $1"
}

deb=$1/farlous_1.00-3_amd64.deb source=$2
files="FARLOUS FARLOUS.TXT FARLOUS.TXT.sample farlous.desktop farlous.png"
# Every package released so far, each as version 1.00: first with FARLOUS.TXT a conffile in
# Windows-1252, then in UTF-8 made from FARLOUS.TXT.sample. Upgrading from them, through either,
# with the jokes untouched or edited in between, or from the first's sample jokes unpacked by hand
# as from its archive: the sample jokes are renewed, the user's kept.
released 3860ad8 && released d33e41c
while read -r name steps; do
    for step in $steps; do
        case $step in
        edit) echo "Une blague à moi." >/opt/farlous/FARLOUS.TXT ;;
        unpack) mkdir /opt/farlous &&
            git -C "$source" show 3860ad8:resources/FARLOUS.TXT >/opt/farlous/FARLOUS.TXT ;;
        *) apt install "$scratch/$step/farlous_1.00_amd64.deb" ;;
        esac
    done
    apt install "$deb"
    [[ $steps = *edit* ]] && jokes="Une blague à moi." || jokes=sample
    expect "$name" "installed | $files | - | $jokes"
    apt purge farlous
    expect "$name, purged" "not-installed | - | - | "
done <<'ROWS'
first-untouched 3860ad8
first-edited 3860ad8 edit
second-untouched d33e41c
second-edited d33e41c edit
first-then-second-untouched 3860ad8 d33e41c
first-edited-then-second 3860ad8 edit d33e41c
first-unpacked unpack
ROWS

version 1.01 && version 1.02
apt install "$deb"
expect installed "installed | $files | - | sample"
[ "$(stat -c %a /opt/farlous/FARLOUS.TXT)" = 644 ] || fail "the jokes file is not readable by all"
# A link the user made in the jokes file's place stays, even to the sample jokes, and even across
# a removal.
ln -sf FARLOUS.TXT.sample /opt/farlous/FARLOUS.TXT
apt remove farlous && apt install "$deb"
expect "removed, installed again, linked" "installed | ${files/TXT /TXT@ } | - | sample"
cp --remove-destination /opt/farlous/FARLOUS.TXT{.sample,}
# The launcher copied into the autostart folder, as the README says, for a user without
# settings: as a session opens, its window comes up. The X server must not reset as xwininfo, its
# last client then, leaves.
export XDG_CONFIG_HOME=$scratch XDG_CONFIG_DIRS=$scratch/none
mkdir "$scratch/autostart" && cp /opt/farlous/farlous.desktop "$scratch/autostart"
xvfb-run -a -s -noreset sh -c 'dex -a; for _ in $(seq 99); do
    w=$(xwininfo -name "Glimbo http://www.glimbo.example" |
        awk "/id:/{w=\$4} /IsViewable/{print w}")
    [ -n "$w" ] && xkill -id "$w" && exit; sleep 0.3; done; exit 1' >/dev/null 2>&1 ||
    fail "FARLOUS shows no window"
apt install "$scratch/farlous_1.01.deb"
expect "upgraded, untouched" "installed | $files | - | sample"
echo "Une blague à moi." >/opt/farlous/FARLOUS.TXT
apt install "$scratch/farlous_1.02.deb"
apt install --reinstall "$scratch/farlous_1.02.deb"
expect "upgraded, reinstalled, changed" "installed | $files | - | Une blague à moi."
apt remove farlous
expect "removed, changed" "config-files | FARLOUS.TXT | - | Une blague à moi."
apt purge farlous
expect purged "not-installed | - | - | "
[ -z "$(dex -ad 2>&1)" ] || fail "the autostart launcher runs without the program: $(dex -ad 2>&1)"
apt install "$scratch/farlous_1.02.deb"
apt remove farlous
expect "removed, untouched" "config-files | - | - | "
# Jokes files under other letter cases are the user's too: none is made beside them, and purging
# takes them all, and the folder, without a word.
mkdir /opt/farlous && echo "Une blague à moi." >/opt/farlous/farlous.txt
ln -s farlous.txt /opt/farlous/Farlous.Txt
apt install "$scratch/farlous_1.02.deb"
expect "installed beside farlous.txt" "installed | FARLOUS FARLOUS.TXT.sample Farlous.Txt@ \
farlous.desktop farlous.png farlous.txt | - | Une blague à moi./Une blague à moi."
apt purge farlous
expect "purged beside farlous.txt" "not-installed | - | - | "
! grep /opt/farlous "$scratch/log" || fail "purging speaks of /opt/farlous"

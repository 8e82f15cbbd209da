#!/usr/bin/env bash
# What users get from each way of installing: the archive and the Debian package that CPack makes
# from the build tree, taken apart, and the folder `cmake --install` makes.
# Usage: CMAKE=cmake CPACK=cpack check_packages.sh BUILD_DIR SOURCE_DIR OUTPUT_DIR
set -euo pipefail
build=$1 source=$2 out=$3
fail() { echo "FAIL: $*" >&2 && exit 1; }
expect() { [ "$1" = "$2" ] || fail "$3:"$'\n'"$1"$'\n'"expected:"$'\n'"$2"; }
files() { (cd "$1" && find . ! -type d -printf '%P\n' | LC_ALL=C sort | xargs); }
# A valid desktop entry that starts the program in folder $3 by the command $4, with icon $2.
entry() {
    desktop-file-validate "$1" || fail "$1 is not a valid desktop entry"
    expect "$(paste -sd '|' "$1")" "[Desktop Entry]|Type=Application|Version=1.4|Name=FARLOUS|\
GenericName=Blague du jour|Comment=Affichage d'une blague aléatoire|\
Keywords=blague;humour;farlous;Glimbo;|Categories=Game;Amusement;|Icon=$2|TryExec=$3/FARLOUS|\
Exec=$4|Terminal=false" "$1"
}

rm -rf "$out" && mkdir -p "$out/archive"
# A folder whose name Exec must quote and escape.
odd='/opt/Mes "blagues" `à` 100% $HOME'
DESTDIR="$out/folder" "$CMAKE" --install "$build" --prefix "$odd" >/dev/null
entry "$out/folder$odd/farlous.desktop" "$odd/farlous.png" "$odd" \
    '"/opt/Mes \\"blagues\\" \\`à\\` 100%% \\$HOME/FARLOUS"'
# No entry can name a folder whose name breaks a line: installing there fails.
DESTDIR="$out/folder" "$CMAKE" --install "$build" --prefix $'/opt/a\nb' &>/dev/null &&
    fail "installed into a folder whose name breaks a line"
# Stripped even so, as Debian's tools leave a program: no symbol table, no compiler comment.
! readelf -S "$out/folder$odd/FARLOUS" | grep -Eq '\.(symtab|comment) ' || fail "not stripped"
# Hardened: a stack protector, and relocations bound at start, then read-only.
expect "$(readelf -dW --dyn-syms "$out/folder$odd/FARLOUS" | grep -oE 'NOW PIE|__stack_chk_fail' |
    sort -u | xargs)" "NOW PIE __stack_chk_fail" hardening

"$CPACK" --config "$build/CPackConfig.cmake" -B "$out" >"$out/log" 2>&1 || fail "$(cat "$out/log")"
archive=$out/farlous-1.00-linux-x86_64.tar.gz
tar -xzf "$archive" -C "$out/archive"
# In an order of its own, whatever order the file system lists the staged files in.
expect "$(tar -tzf "$archive" | xargs)" "farlous/FARLOUS farlous/farlous.desktop farlous/farlous.png \
farlous/FARLOUS.TXT farlous/LICENSE" archive
deb=$out/farlous_1.00-3_amd64.deb root=$out/deb hicolor=usr/share/icons/hicolor
dpkg-deb -x "$deb" "$root"
expect "$(files "$root")" "$(echo opt/farlous/{FARLOUS,FARLOUS.TXT.sample,farlous.desktop} \
    opt/farlous/farlous.png usr/share/applications/farlous.desktop \
    usr/share/doc/farlous/{changelog.Debian.gz,copyright} \
    $hicolor/{128x128,16x16,22x22,24x24,256x256}/apps/farlous.png \
    $hicolor/{32x32,48x48,64x64}/apps/farlous.png $hicolor/scalable/apps/farlous.svg \
    usr/share/lintian/overrides/farlous usr/share/metainfo/example.glimbo.farlous.metainfo.xml)" deb
for size in 16 22 24 32 48 64 128 256; do
    cmp "$root/$hicolor/${size}x$size/apps/farlous.png" "$source/resources/icon/farlous-$size.png"
done
for folder in "$out/archive/farlous" "$root/opt/farlous"; do
    entry "$folder/farlous.desktop" /opt/farlous/farlous.png /opt/farlous '"/opt/farlous/FARLOUS"'
    cmp "$folder/farlous.png" "$source/resources/icon/farlous-128.png"
done
entry "$root/usr/share/applications/farlous.desktop" farlous /opt/farlous '"/opt/farlous/FARLOUS"'

expect "$(dpkg-deb -f "$deb" Version Maintainer Section Recommends Description)" "Version: 1.00-3
Maintainer: L'équipe FARLOUS <farlous@glimbo.example>
Section: games
Recommends: qt6-wayland
Description: Affichage d'une blague aléatoire
 FARLOUS montre une blague du jour, tirée au hasard dans le fichier
 FARLOUS.TXT posé à côté du programme. Des blagues d'exemple sont fournies." control
expect "$(grep -v ^# "$root"/usr/share/lintian/overrides/*)" "farlous: dir-or-file-in-opt
farlous: maintainer-script-should-not-use-dpkg-maintscript-helper" overrides
# Today's sample jokes are among those the package renews, so that a later one still knows them.
dpkg-deb -e "$deb" "$out/control"
sample=$(sha256sum <"$root/opt/farlous/FARLOUS.TXT.sample" | cut -d ' ' -f 1)
grep -q "$sample" "$out/control/postinst" || fail "postinst does not know today's sample jokes"
# What software centres show: valid with the menu entry it names, but for an address that is no
# known domain and is plain http, as the window gives it.
appstreamcli validate-tree --no-net --strict --override=cid-maybe-not-rdns=pedantic,\
url-not-secure=pedantic,screenshot-media-url-not-secure=pedantic "$root" || fail "metainfo"
expect "$(tr -s ' \n' ' ' <"$root"/usr/share/metainfo/* | grep -oE \
    '<(project_license|name|summary|p|url|developer_name|caption|image|content_rating)[^<]*' |
    sed 's/ $//')" "<project_license>MIT
<name>FARLOUS
<summary>Affichage d'une blague aléatoire
<p> FARLOUS montre une blague du jour, tirée au hasard dans le fichier FARLOUS.TXT posé à côté \
du programme. « Blague suivante » en tire une autre. Des blagues d'exemple sont fournies ; \
remplacez-les par les vôtres, une par ligne.
<url type=\"homepage\">http://www.glimbo.example/
<developer_name>Glimbo
<caption>La fenêtre de FARLOUS : le logo, le titre et une blague tirée au hasard
<image>http://www.glimbo.example/farlous/farlous.png
<content_rating type=\"oars-1.1\"/>" metainfo
lintian --pedantic --fail-on error,warning "$deb" || fail "lintian finds errors or warnings"

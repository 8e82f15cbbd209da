#!/usr/bin/env bash
# The installer under the build's Wine, in the Wine session the test run opens: a silent install,
# the program it installed started, a silent uninstall that leaves nothing; then jokes the user
# changed, kept by a reinstall and by the uninstaller.
# Usage: CPACK=cpack check_installer.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 source=$2 failed=0
work=$(mktemp -d)
wine() { "$build/wine-run" "$@"; }
drive=$build/wine/drive_c windows='C:\Program Files\FARLOUS'
folder="$drive/Program Files/FARLOUS"
menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/FARLOUS.lnk"
startup="$drive/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/StartUp/FARLOUS.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\FARLOUS'
settings='HKCU\Software\VB and VBA Program Settings\FARLOUS'
# A failed run leaves the prefix as it found it, without the setting the other tests' runs read.
trap 'rm -rf "$work" "$folder" "$menu" "$startup"
    for k in "$key" "$settings"; do wine reg delete "$k" /f &>/dev/null || true; done' EXIT
fail() { echo "FAIL: $*" >&2 && failed=1; }
install() { wine "$work/FARLOUS-1.00-setup.exe" /S || fail "setup /S exited with $?"; }
# As the uninstaller does when started: it runs a copy of itself, from outside the folder it
# empties, told the folder after _?=. Run so, it returns once done.
uninstall() {
    cp "$folder/DESINSTALLER.EXE" "$work/Au_.exe"
    wine cmd /c "Z:${work//\//\\}\\Au_.exe /S _?=$windows"
}
# What the installer makes: the folder and its files, the shortcuts to the program, and the
# uninstall key's values that the list of installed programs shows: name, version, icon,
# publisher, folder, no Modify or Repair button, and the uninstaller.
made() {
    find "$folder" -printf 'FARLOUS/%P\n' 2>/dev/null
    grep -laF "$windows\FARLOUS.EXE" "$menu" "$startup" 2>/dev/null | sed 's/.*Programs.//'
    wine reg query "$key" 2>/dev/null | tr -d '\r' | grep -E '^ +(Display|Publ|Inst|No|(Quiet)?Uni)'
}
installed=$(printf '%s\n' FARLOUS/ FARLOUS/{DESINSTALLER.EXE,FARLOUS.EXE,FARLOUS.TXT,LICENSE.txt} \
    FARLOUS/THIRD-PARTY-NOTICES.txt FARLOUS.lnk StartUp/FARLOUS.lnk \
    '    DisplayName    REG_SZ    FARLOUS' '    DisplayVersion    REG_SZ    1.00' \
    '    DisplayIcon    REG_SZ    C:\Program Files\FARLOUS\FARLOUS.EXE' \
    '    Publisher    REG_SZ    Glimbo' '    InstallLocation    REG_SZ    C:\Program Files\FARLOUS' \
    '    NoModify    REG_DWORD    0x1' '    NoRepair    REG_DWORD    0x1' \
    '    UninstallString    REG_SZ    "C:\Program Files\FARLOUS\DESINSTALLER.EXE"' \
    '    QuietUninstallString    REG_SZ    "C:\Program Files\FARLOUS\DESINSTALLER.EXE" /S' | sort)
expect() { [ "$(made | sort)" = "$2" ] || fail "$1:"$'\n'"$(made)"; }

"$CPACK" -G NSIS --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
# It installs for everyone, in Program Files: Windows asks for an administrator before it starts.
[[ $(wrestool -x --raw -t24 "$work/FARLOUS-1.00-setup.exe") == *'level="requireAdministrator"'* ]] ||
    fail "the installer does not ask for an administrator"
install
expect "installed" "$installed"
# Told not to show, the installed program ends at once, well.
wine reg add "$settings\\Options" /v "Show Tips at Startup" /d 0 /f >/dev/null
wine "$windows\FARLOUS.EXE" || fail "FARLOUS.EXE exited with $?"
wine reg delete "$settings" /f >/dev/null
# Open, it holds its file: the uninstaller takes nothing away until it is closed.
wine "$windows\FARLOUS.EXE" &>/dev/null &
for _ in {1..200}; do [[ $(wine winedbg --command 'info proc') == *"'FARLOUS.EXE'"* ]] && break; done
! uninstall || fail "uninstalled with FARLOUS.EXE open"
expect "left with FARLOUS.EXE open" "$installed"
wine taskkill /IM FARLOUS.EXE /F >/dev/null || fail "FARLOUS.EXE was not open"
uninstall || fail "uninstaller /S exited with $?"
expect "left after uninstall" ""

# Changed jokes, the same size as the sample: a reinstall and the uninstaller keep them.
install
printf X | dd of="$folder/FARLOUS.TXT" conv=notrunc status=none
cp "$folder/FARLOUS.TXT" "$work/changed.txt"
install
uninstall || fail "uninstaller /S exited with $?"
expect "left after uninstall" $'FARLOUS/\nFARLOUS/FARLOUS.TXT'
cmp -s "$folder/FARLOUS.TXT" "$work/changed.txt" || fail "the changed FARLOUS.TXT was not kept"
# Jokes added after the sample's: kept too.
rm "$folder/FARLOUS.TXT"
install
printf 'Une blague de plus\r\n' >>"$folder/FARLOUS.TXT"
uninstall || fail "uninstaller /S exited with $?"
expect "left after uninstall, jokes added" $'FARLOUS/\nFARLOUS/FARLOUS.TXT'
exit "$failed"

# Shared by scripts/run and scripts/test: makes sure the Debian packages the build needs are here.

# What building and running the program needs; libqt6gui6 holds the plugin that decodes the logo.
FARLOUS_RUN_PACKAGES=(cmake ninja-build g++ qt6-base-dev libqt6gui6 fonts-dejavu-core)
# What the tests need besides; dbus-x11 is there so that a test sees any bus a start outside a
# session would launch, weston and qt6-wayland so that the window runs under Wayland too, dex to
# start it from the autostart folder as a session does, fonts-dejavu-extra for a narrower family
# than the system's.
FARLOUS_TEST_PACKAGES=(googletest libgtest-dev xvfb xauth libx11-dev libxtst-dev
    dpkg-dev desktop-file-utils lintian appstream x11-utils clang-format clang-tidy clang
    libclang-rt-14-dev dbus-x11 dbus-daemon at-spi2-core python3-pyatspi orca weston qt6-wayland
    dex fonts-dejavu-extra)
# What the Windows build and its tests need: the 32-bit cross compiler, djpeg to decode the logo
# into the program file, 32-bit Wine to run the tests as on a 32-bit Windows, GoogleTest's sources
# to build it for Windows, icoutils and file to read the program file back, and NSIS to make the
# installer.
FARLOUS_WINDOWS_PACKAGES=(g++-mingw-w64-i686-posix libjpeg-turbo-progs wine wine32:i386 googletest
    xvfb xauth icoutils file nsis)

farlous_missing_packages() {
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            printf '%s\n' "$package"
        fi
    done
}

# Installs what is missing when run as root; otherwise says what to install and fails.
farlous_require_packages() {
    local missing
    mapfile -t missing < <(farlous_missing_packages "$@")
    [ "${#missing[@]}" -eq 0 ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installation des paquets manquants : ${missing[*]}"
        # wine32 is a package of the i386 architecture.
        if [[ " ${missing[*]}" == *:i386* ]]; then dpkg --add-architecture i386; fi
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    else
        echo "Paquets manquants : ${missing[*]}" >&2
        echo "Installez-les avec : sudo apt-get install ${missing[*]}" >&2
        return 1
    fi
}

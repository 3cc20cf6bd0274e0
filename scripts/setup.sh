#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Zembra needs, and the extra
# packages named as arguments (what only one script needs, e.g. scripts/measure-desktop.sh).
# Idempotent and quiet: when everything is there it prints nothing and returns at once.
#   scripts/setup.sh              what ./run and ./test need
#   scripts/setup.sh --packaging  that, plus what building and checking the Debian package
#                                 needs (scripts/check-package.sh calls it so)
#   scripts/setup.sh --windows    that, plus the cross build for Windows and Wine for its tests
#   scripts/setup.sh PACKAGE...   that, plus these packages (scripts/measure-desktop.sh)
set -euo pipefail

packages=(
    # toolchain
    build-essential cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
    # core tests, benchmarks, time zones, coverage (./test --coverage)
    googletest libgtest-dev libgmock-dev libbenchmark-dev tzdata gcovr
    # desktop program
    qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-svg-dev qt6-tools-dev
    qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n libgl-dev
    libqt6svg6 qt6-qpa-plugins
    # sound playback: Qt's GStreamer back end, playbin and the decoders (base: Ogg/Vorbis;
    # good: WAV, MP3, FLAC, the automatic sink with its fallback for machines without sound)
    libqt6multimedia6 gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    # system volume (libpulse), its test's private daemon and pactl, power back end tests
    # (private buses), headless GUI runs
    libpulse-dev pulseaudio pulseaudio-utils dbus dbus-x11 xvfb xauth fonts-dejavu-core
    # the tray looks for an XEmbed tray on the X connection itself; the window clock of the
    # desktop measurement watches its Damage extension
    libxcb1-dev libxcb-damage0-dev
)
if [ "${1:-}" = "--windows" ]; then
    packages+=(
        # the cross compiler (posix threads, for std::thread) and Wine to run the tests; GoogleTest
        # for the target is built from the source in googletest (/usr/src/googletest)
        g++-mingw-w64-x86-64-posix wine wine64
    )
fi

if [ "${1:-}" = "--packaging" ]; then
    packages+=(
        # CPack runs file and dpkg-shlibdeps to find the libraries the programs need; setcap
        # and getcap try the package's maintainer script out
        dpkg-dev file libcap2-bin
        # its checks: desktop entry, AppStream, policy, manual pages, the file type (gio)
        desktop-file-utils appstream lintian man-db shared-mime-info libglib2.0-bin
    )
fi

for extra in "$@"; do
    case "$extra" in
    --windows | --packaging) ;;
    *) packages+=("$extra") ;;
    esac
done

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null | grep -qx installed; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    SUDO=sudo
else
    SUDO=
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Zembra needs, and the extra
# packages named as arguments (what only one script needs, e.g. scripts/measure-desktop.sh).
# Idempotent and quiet: when everything is there it prints nothing and returns at once.
set -euo pipefail

packages=(
    # toolchain
    build-essential cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
    # core tests, benchmarks, time zones
    googletest libgtest-dev libgmock-dev libbenchmark-dev tzdata
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
    # the window clock of the desktop measurement (X and its Damage extension)
    libxcb1-dev libxcb-damage0-dev
    "$@"
)

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

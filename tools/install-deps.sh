#!/bin/sh
# Installs every Debian 12 package the project needs to build, test, benchmark and fuzz.
# Does nothing when they are all there; uses sudo only when not run as root.
set -eu

PACKAGES="
cmake ninja-build g++ make pkg-config
qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-serialport-dev libqscintilla2-qt6-dev
qt6-charts-dev
qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
libgtest-dev libgmock-dev libbenchmark-dev
fonts-nanum xvfb xauth imagemagick xdotool openbox x11-utils x11-xserver-utils
clang clang-format libclang-rt-14-dev
python3 lua5.4
desktop-file-utils shared-mime-info dpkg-dev file libxml2-utils
help2man man-db lintian
python3-pymodbus python3-serial python3-serial-asyncio
lrzsz socat tio
"

missing=""
for pkg in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $pkg"
    fi
done
[ -z "$missing" ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
echo "Installing:$missing"
$SUDO apt-get update -q
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q $missing

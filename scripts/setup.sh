#!/usr/bin/env bash
# Installs every Debian package this project needs to build, run and test.
# Safe to run again: it updates the package lists once and installs only what is missing.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build ccache pkg-config clang-14 libclang-rt-14-dev clang-format
  # libraries
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libhidapi-dev libudev-dev
  # tests
  googletest libgtest-dev libgmock-dev
  # running the GUI headless, screenshots, Chinese texts
  xvfb xauth fonts-noto-cjk
  # the end-to-end test of the desktop program: tray host, X input, window tree, screenshots
  trayer xdotool x11-utils imagemagick
  # the same on a StatusNotifier tray: a session bus and xfce4-panel's status tray as the host
  dbus-daemon libglib2.0-bin xfce4-panel
  # the same as a Wayland client: Qt's Wayland platform and weston's headless compositor
  qt6-wayland weston
  # the start-up benchmark reads the X window tree itself
  libx11-dev
  # the hidraw rig: the keyboard's hidraw nodes served with FUSE, setpriv for a user without root
  libfuse3-dev fuse3 util-linux
  # the on-screen keyboard the key assignment dialog starts
  onboard
  # the Debian package: its dependencies, its checks, the manual pages' and metadata's checks
  dpkg-dev lintian desktop-file-utils appstream groff-base
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

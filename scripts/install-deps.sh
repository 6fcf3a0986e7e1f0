#!/usr/bin/env bash
# Installs every Debian package the build, the app and the tests need.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

PACKAGES=(
  # toolchain
  build-essential cmake ninja-build ccache pkg-config clang libclang-rt-14-dev
  # core libraries
  libxml2-dev libxml2-utils libcurl4-openssl-dev libicu-dev libplist-dev
  libssl-dev libstb-dev nlohmann-json3-dev libcpp-httplib-dev libglib2.0-dev
  libfreetype-dev libfontconfig-dev fonts-noto-cjk
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev python3
  # drawing the simulator's sample pictures (sim/tools/)
  python3-pil
  # GUI
  qt6-base-dev qt6-declarative-dev qt6-svg-dev qt6-pdf-dev qt6-webengine-dev
  qt6-declarative-private-dev qt6-base-private-dev
  qml6-module-qtquick qml6-module-qtquick-controls qml6-module-qtquick-layouts
  qml6-module-qtquick-window qml6-module-qtquick-templates qml6-module-qtqml
  qml6-module-qtqml-workerscript qml6-module-qt-labs-qmlmodels
  qml6-module-qtquick-pdf qml6-module-qtwebengine
  libgl-dev fonts-noto-cjk librsvg2-bin
  # passwords in the desktop's keyring, calendar export (and the tests'
  # private session bus, keyring daemon and calendar reader)
  libsecret-1-dev libical-dev gnome-keyring dbus-daemon python3-icalendar python3-dbus
  # desktop integration checks (desktop entry and AppStream metainfo)
  desktop-file-utils appstream
  # desktop notifications and the refresh timer; the roster PDF generator
  libnotify-dev dbus-daemon systemd libcairo2-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "install-deps: installing ${#missing[@]} package(s): ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

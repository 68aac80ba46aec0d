#!/usr/bin/env bash
# Installs, from Debian 12's own packages, everything Tindora needs to build,
# run and test: the Linux toolchain and Qt 6, the MinGW-w64 cross compiler and
# Wine for the Windows program, and the X tools the window tests drive.
# Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  qt6-base-dev qt6-translations-l10n libsdl2-dev fonts-noto-cjk
  g++-mingw-w64-i686-posix
  wine wine32:i386 fonts-wine
  xvfb x11-utils xdotool trayer imagemagick sox
  locales faketime xxd
  nsis lintian
  dbus-daemon dbus-bin sway waybar mako-notifier dunst xwayland qt6-wayland python3
)

sudo_if_needed() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  sudo_if_needed dpkg --add-architecture i386
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_if_needed apt-get update -qq
  DEBIAN_FRONTEND=noninteractive sudo_if_needed apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Wine shows Chinese only under a Chinese locale (and uses code page 936 there);
# the tests also read numbers under a locale whose decimal point is a comma.
for loc in zh_CN de_DE; do
  if ! locale -a 2>/dev/null | grep -qi "^${loc}\.utf8$"; then
    sudo_if_needed sed -i "s/^# *${loc}.UTF-8 UTF-8/${loc}.UTF-8 UTF-8/" /etc/locale.gen
    grep -q "^${loc}.UTF-8 UTF-8" /etc/locale.gen || echo "${loc}.UTF-8 UTF-8" | sudo_if_needed tee -a /etc/locale.gen >/dev/null
    sudo_if_needed locale-gen >/dev/null
  fi
done

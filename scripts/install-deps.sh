#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Pictoreel
# needs, and the packages named as arguments (the Windows build's own).
# Safe to run again: only what is missing is installed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-qpa-plugins libgl-dev
  libturbojpeg0-dev libjpeg62-turbo-dev libpng-dev libgif-dev
  libgtest-dev
  fonts-liberation
  ffmpeg
  libjpeg-turbo-progs   # djpeg: the decode floor the converter's benchmark measures against
  chromium nodejs
  xvfb xdotool x11-utils xclip openbox dpkg-dev
  desktop-file-utils appstream lintian
  "$@"
)
# The web page test drives the browser with playwright-core from npm; some
# nodejs builds bring their own npm and refuse the separate package.
command -v npm >/dev/null || packages+=(npm)

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  apt_get() { $sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 -q "$@"; }
  apt_get update
  apt_get install -y --no-install-recommends "${missing[@]}"
fi

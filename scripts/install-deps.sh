#!/usr/bin/env bash
# Installs what Kolvex needs to build, test and run on Debian 12; does nothing
# when everything is already there.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-multimedia-dev libjpeg-dev libxcb1-dev libsdl2-dev
  libjpeg-turbo-progs fonts-liberation2 fonttools libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xdotool x11-apps imagemagick pulseaudio pulseaudio-utils sox python3
  desktop-file-utils appstream clang-14 libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}"
fi

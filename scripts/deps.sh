#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need,
# when missing. The fonts are the program's own dependency: its windows and
# printed pages are designed for Liberation Sans (Arial's measures) and
# DejaVu Sans.
set -euo pipefail
packages=(build-essential cmake qt6-base-dev qt6-base-dev-tools libsqlite3-dev libgtest-dev
          libbenchmark-dev libuchardet-dev pkg-config xvfb xauth poppler-utils libgl1-mesa-dev fontconfig
          fonts-liberation2 fonts-dejavu-core)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi

#!/usr/bin/env bash
# Installs the Debian 12 packages Kestrel needs, only those that are missing.
#   scripts/deps.sh run    what building and running needs
#   scripts/deps.sh test   that, plus what the tests need (virtual display, clang)
set -euo pipefail

# libqt6sql6-sqlite keeps the history; qt6-webengine-dev-tools converts the
# spelling dictionaries (hunspell-en-us has no engine-ready one) at build time.
packages=(cmake g++ make pkg-config qt6-base-dev qt6-declarative-dev qt6-webengine-dev libqt6webenginecore6-bin
          libqt6sql6-sqlite qt6-webengine-dev-tools hunspell-en-us libgl-dev libx11-dev fonts-dejavu-core)
if [ "${1:-run}" = "test" ]; then
  packages+=(xvfb xauth xdotool libxtst-dev clang libclang-rt-14-dev python3 desktop-file-utils openssl
             poppler-utils dbus-daemon at-spi2-core python3-pyatspi)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Run as root (or install these packages yourself)." >&2
    exit 1
  fi
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only when one is missing.
#   scripts/deps.sh [bench]   bench: also perf, for scripts/bench.sh --profile (benchmarks are not run by CI)
set -euo pipefail
ZANTH_PACKAGES=(
  qt6-base-dev qt6-declarative-dev qt6-declarative-private-dev qml6-module-qtquick qml6-module-qtquick-window
  qml6-module-qtqml-workerscript qml6-module-qtquick-localstorage qml6-module-qttest
  qml6-module-qtquick-particles libqt6sql6-sqlite libqt6opengl6-dev libglfw3-dev libgl-dev
  libgl1-mesa-dri mesa-utils xvfb xauth xdotool x11-utils x11-xserver-utils x11-apps imagemagick
  libopenal-dev libsndfile1-dev libbox2d-dev libminizip-dev uthash-dev libxml2-dev zlib1g-dev libssl-dev
  fonts-paratype fonts-liberation ninja-build ccache cmake g++ libgtest-dev libgmock-dev
  libbenchmark-dev python3 clang libclang-rt-14-dev
)
if [ "${1:-}" = bench ]; then
  ZANTH_PACKAGES+=(linux-perf)
fi
missing=()
for p in "${ZANTH_PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing missing packages: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

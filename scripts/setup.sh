#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing.
# Sourced by run.sh and test.sh; quick when everything is already there.
set -euo pipefail

VINARCA_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-multimedia-dev qt6-image-formats-plugins
  qt6-translations-l10n
  libgl-dev libxkbcommon-dev
  fonts-liberation2 fonts-dejavu-core libfontconfig-dev
  poppler-utils libjpeg-turbo-progs xvfb xauth
  libreoffice-calc-nogui
)

vinarca_missing_packages() {
  local missing=()
  for p in "${VINARCA_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  echo "${missing[@]:-}"
}

vinarca_install_packages() {
  local missing
  missing=$(vinarca_missing_packages "$@")
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Vinarca needs these Debian packages: $missing" >&2
    echo "Install them with: sudo apt-get install -y $missing" >&2
    exit 1
  fi
  echo "Installing: $missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  # shellcheck disable=SC2086
  apt-get install -y -qq --no-install-recommends $missing >/dev/null
}

vinarca_configure() {
  local dir=$1 type=$2; shift 2
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$VINARCA_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@"
  fi
}

VINARCA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export VINARCA_ROOT

#!/usr/bin/env bash
# Installs what is missing, builds a Release and starts Vinarca from its
# program folder (build/Vinarca/).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

vinarca_install_packages
vinarca_configure "$VINARCA_ROOT/build" Release -DVINARCA_TESTS=OFF
cmake --build "$VINARCA_ROOT/build" -j2 --target vinarca

program="$VINARCA_ROOT/build/Vinarca/vinarca"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "Vinarca is built in $VINARCA_ROOT/build/Vinarca/, but there is no display to show it on." >&2
  echo "Start it under a virtual display with:  xvfb-run -a $0" >&2
  exit 2
fi
exec "$program"

#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite
# headless. Exits non-zero on any failure.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

# As root, also what the portable folder tests need: the packaging tools and
# the desktop entry checker (see the end and tests/package).
if [ "$(id -u)" -eq 0 ]; then
  vinarca_install_packages patchelf debootstrap desktop-file-utils
else
  vinarca_install_packages
fi
build="$VINARCA_ROOT/build-test"
vinarca_configure "$build" RelWithDebInfo
cmake --build "$build" -j2

export QT_QPA_PLATFORM=offscreen
runtime=$(mktemp -d)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime"
trap 'rm -rf "$runtime"' EXIT

# File permissions do not bind the superuser, so the tests for read-only
# archives and folders would prove nothing as root: run the suite as an
# ordinary user when one can reach the build.
as_user=()
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null; then
  probe=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  if "${probe[@]}" test -x "$build/tests/tst_shortstring" 2>/dev/null; then
    mkdir -p "$build/Testing"
    chmod -R a+rwX "$build/Testing"
    chown 65534:65534 "$runtime"
    as_user=("${probe[@]}" env HOME="$runtime")
  else
    echo "note: the build folder is not reachable by an ordinary user; running the tests as root" >&2
  fi
fi

# A local print spooler (cups with a PDF queue) for the real printing test;
# without root the test skips itself.
print_env=()
if [ "$(id -u)" -eq 0 ] && "$VINARCA_ROOT/scripts/print-spooler.sh" start > "$runtime/print.env"; then
  source "$runtime/print.env"
  print_env=(env VINARCA_PRINT_QUEUE="$VINARCA_PRINT_QUEUE" VINARCA_PRINT_OUT="$VINARCA_PRINT_OUT")
  trap '"$VINARCA_ROOT/scripts/print-spooler.sh" stop; rm -rf "$runtime"' EXIT
fi

cd "$build"
"${as_user[@]}" "${print_env[@]}" ctest --output-on-failure -j2 "$@"

# The portable folder, made from this build, started in a Debian 12 root
# without Qt: two to six minutes the first time, while debootstrap makes the
# root (kept in build-root/), seconds after. It needs root for chroot and
# mounts; VINARCA_PACKAGE_TEST=0 leaves it out, and so does a filtered run.
if [ "${VINARCA_PACKAGE_TEST:-1}" != 0 ] && [ "$#" -eq 0 ] && [ "$(id -u)" -eq 0 ] \
   && command -v debootstrap >/dev/null && unshare --mount true 2>/dev/null; then
  "$VINARCA_ROOT/scripts/package.sh" --from "$build" --out "$build/dist"
  "$VINARCA_ROOT/scripts/test-package.sh" "$build"/dist/Vinarca-*-linux-x86_64.tar.gz
else
  echo "note: the portable folder test needs root, debootstrap and mount namespaces; not run" >&2
fi

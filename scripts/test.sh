#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite
# headless; then runs the tests of the decoders, the archive, atomic saving
# and the fuzz tests once more under AddressSanitizer and
# UndefinedBehaviorSanitizer. Exits non-zero on any failure.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

# As root, also what the portable folder tests need: the packaging tools and
# the desktop entry checker (see the end and tests/package); and an SSH
# server and sshfs, for the test of two workstations on one network folder.
if [ "$(id -u)" -eq 0 ]; then
  vinarca_install_packages patchelf debootstrap desktop-file-utils openssh-server sshfs
else
  vinarca_install_packages
fi
build="$VINARCA_ROOT/build-test"
vinarca_configure "$build" RelWithDebInfo
cmake --build "$build" -j2

# Only these are built and run under the sanitizers: what reads files from
# outside (photos, archives, the password store) and what writes them.
sanitized_tests=(tst_photo tst_jpegeighth tst_photofuzz tst_recordarchive tst_atomicsave tst_archivefuzz
  tst_shortstring tst_fulldisk)
asan="$VINARCA_ROOT/build-asan"
# The whole core is compiled again for these tests: in batches of sources
# (a unity build, so each Qt header is read once a batch), lightly optimised
# and with line tables only, which is all the sanitizers need to name the
# line at fault. Names private to a source file must therefore be unique
# within its library.
vinarca_configure "$asan" "" "-DCMAKE_CXX_FLAGS=-O1 -g1" -DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=16 \
  -DVINARCA_SANITIZE=ON -DVINARCA_BENCH=OFF -DVINARCA_TOOLS=OFF
cmake --build "$asan" -j2 --target "${sanitized_tests[@]}"

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
  if "${probe[@]}" test -x "$build/tests/tst_shortstring" 2>/dev/null \
    && "${probe[@]}" test -x "$asan/tests/tst_shortstring" 2>/dev/null; then
    mkdir -p "$build/Testing" "$asan/Testing"
    chmod -R a+rwX "$build/Testing" "$asan/Testing"
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

# Two workstations saving into one network folder, reached through two sshfs
# mounts of it: mounting needs the superuser here, so when the suite ran as
# an ordinary user (where this test skipped itself) it runs again as root.
if [ "${#as_user[@]}" -gt 0 ] && [ "$#" -eq 0 ]; then
  "$build/tests/tst_concurrentappend" twoMountsOfOneNetworkFolder
fi

# Memory errors and undefined behaviour abort the test. Leak checking is off:
# at exit its tracer crashes on the thread-local storage of the Qt plugins
# loaded at run time ("LeakSanitizer has encountered a fatal error" after
# every test function passed), failing tests that leak nothing.
cd "$asan"
pattern="^($(IFS='|'; echo "${sanitized_tests[*]}"))\$"
"${as_user[@]}" env ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:strict_string_checks=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j2 -R "$pattern"

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

#!/usr/bin/env bash
# Makes the portable program folder dist/Vinarca/ and its archive
# dist/Vinarca-<version>-linux-x86_64.tar.gz: the program, the Qt libraries
# and plugins it needs and Qt's Italian texts (taken from Debian's own Qt
# packages), the manual, the delivered password store, the desktop entry, the
# icon, the menu script and LEGGIMI.txt. The folder runs from wherever it is
# put, on a desktop that has no Qt.
#
#   scripts/package.sh                 builds a Release into build/ first
#                                      (everything the folder takes from it)
#   scripts/package.sh --from DIR      packages what DIR (a configured and
#                                      fully built tree) holds, without building
#   scripts/package.sh --out DIR       writes into DIR instead of dist/
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

build=""
out="$VINARCA_ROOT/dist"
while [ $# -gt 0 ]; do
  case $1 in
    --from) build=$(cd "$2" && pwd); shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) echo "usage: $0 [--from BUILD_DIR] [--out DIR]" >&2; exit 2 ;;
  esac
done

vinarca_install_packages patchelf
if [ -z "$build" ]; then
  build="$VINARCA_ROOT/build"
  vinarca_configure "$build" Release -DVINARCA_TESTS=OFF
  # The program brings the manual and the password store with it; the
  # launcher's icon is a target of its own.
  cmake --build "$build" -j2 --target vinarca launcher_icon
fi

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "no project version in $build/CMakeCache.txt" >&2; exit 1; }
program="$build/Vinarca"
qt_plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)
qt_translations=$(qtpaths6 --query QT_INSTALL_TRANSLATIONS 2>/dev/null || echo /usr/share/qt6/translations)

folder="$out/Vinarca"
rm -rf "$folder"
mkdir -p "$folder/lib" "$folder/plugins" "$folder/translations"

# Only what the build delivers: never the archives, photos or the changed
# password of a folder someone has been using.
install -m 755 "$program/vinarca" "$program/libvinarca_qtcamera.so" "$folder/"
install -m 644 "$program/Guida.pdf" "$build/tools/delivery/unins000.dll" "$folder/"
install -m 644 "$build/src/app/icon/vinarca_256.png" "$folder/vinarca.png"
install -m 644 "$VINARCA_ROOT/resources/shell/icona_vinarca.svg" "$folder/vinarca.svg"
install -m 644 "$VINARCA_ROOT/resources/launcher/vinarca.desktop" "$folder/"
install -m 755 "$VINARCA_ROOT/resources/launcher/installa-menu.sh" "$folder/"
# Qt's own texts in Italian (file dialogs, the buttons of its questions),
# found by the program in translations/ beside it.
install -m 644 "$qt_translations/qtbase_it.qm" "$folder/translations/"

# What the folder is and how to start it, for whoever unpacks it: the
# manual's chapter on Linux under two lines of its own.
{
  printf 'Vinarca - catalogo vini, listini prezzi ed etichette per bottiglie\n\n'
  printf 'Il manuale completo è il file Guida.pdf, in questa stessa cartella.\n\n'
  fmt -w 78 "$VINARCA_ROOT/resources/help/avvio_linux.txt"
} > "$folder/LEGGIMI.txt"
chmod 644 "$folder/LEGGIMI.txt"

# Plugins: the X display, the input methods (compose keys for accented
# letters, ibus), JPEG/GIF/SVG pictures, SVG icons, printing through CUPS and
# the camera through GStreamer (the FFmpeg backend would bring a hundred
# codec libraries for a webcam preview).
plugins=(
  platforms/libqxcb.so
  platforminputcontexts/libcomposeplatforminputcontextplugin.so
  platforminputcontexts/libibusplatforminputcontextplugin.so
  imageformats/libqjpeg.so imageformats/libqgif.so imageformats/libqsvg.so
  iconengines/libqsvgicon.so
  printsupport/libcupsprintersupport.so
  multimedia/libgstreamermediaplugin.so
)
for p in "${plugins[@]}"; do
  mkdir -p "$folder/plugins/$(dirname "$p")"
  install -m 755 "$qt_plugins/$p" "$folder/plugins/$p"
done

cat > "$folder/qt.conf" <<'EOF'
[Paths]
Prefix = .
Libraries = lib
Plugins = plugins
Translations = translations
EOF

# The libraries that travel with the folder: Qt and what Debian builds Qt
# against that a desktop without Qt may lack, or has in another version
# (ICU, libjpeg 6.2, the xcb utility libraries, GLVND's libOpenGL, a thin
# table of entry points into the desktop's own libGLdispatch that not every
# desktop installs; the program draws in software). The rest is the desktop's
# own and must stay so: the C and C++ runtimes (a graphics driver loaded into
# the process may need the system's newer libstdc++), OpenGL and the X
# libraries that match the display, fontconfig and freetype that match the
# fonts, GLib, D-Bus, CUPS, GStreamer and PulseAudio that match the services
# they talk to.
travels() {
  case $1 in
    libQt6*|libicu*|libdouble-conversion.so.*|libpcre2-16.so.*|libb2.so.*|libmd4c.so.*|libgomp.so.*|libjpeg.so.62|libOpenGL.so.0) return 0 ;;
    libxcb.so.*) return 1 ;;
    libxcb-*) return 0 ;;
    *) return 1 ;;
  esac
}

elves=("$folder/vinarca" "$folder/libvinarca_qtcamera.so")
for p in "${plugins[@]}"; do elves+=("$folder/plugins/$p"); done
while read -r name path; do
  travels "$name" && install -m 644 "$path" "$folder/lib/$name"
done < <(for e in "${elves[@]}"; do ldd "$e"; done | awk '$2 == "=>" && $3 ~ /^\// { print $1, $3 }' | sort -u)

# Each file finds the travelling libraries relative to itself, so the folder
# works from any place; strip what debugging information the build left.
strip --strip-unneeded "$folder/vinarca" "$folder/libvinarca_qtcamera.so"
patchelf --set-rpath '$ORIGIN/lib' "$folder/vinarca" "$folder/libvinarca_qtcamera.so"
for p in "${plugins[@]}"; do patchelf --set-rpath '$ORIGIN/../../lib' "$folder/plugins/$p"; done
for l in "$folder"/lib/*; do patchelf --set-rpath '$ORIGIN' "$l"; done

tarball="$out/Vinarca-$version-linux-x86_64.tar.gz"
tar -C "$out" --owner=0 --group=0 --numeric-owner --sort=name -czf "$tarball" Vinarca
echo "Portable folder: $folder ($(du -sh "$folder" | cut -f1))"
echo "Archive:         $tarball ($(du -h "$tarball" | cut -f1))"

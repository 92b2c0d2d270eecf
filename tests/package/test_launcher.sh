#!/bin/sh
# The menu launcher of the portable folder: installa-menu.sh writes an entry
# whose Exec, read back the way a desktop reads it, starts the folder's own
# program wherever the folder is, and --rimuovi takes the entry away.
# Usage: test_launcher.sh <folder holding installa-menu.sh and vinarca.desktop>
set -eu
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { printf "FAIL: %s\n" "$*" >&2; failures=$((failures + 1)); }

export HOME="$work/home"
unset XDG_DATA_HOME
mkdir -p "$HOME"
entry="$HOME/.local/share/applications/vinarca.desktop"

# Folder names a user may give: spaces, the characters a desktop entry
# escapes (" ` $ \), a percent sign, accents.
for place in \
  'Chiavetta USB/Vinarca' \
  'Vini "d'"'"'annata" $HOME `x` /Vinarca' \
  'Cantina\100% rosso/Cartella àè/Vinarca'
do
  folder="$work/$place"
  mkdir -p "$folder"
  cp "$source_dir/installa-menu.sh" "$source_dir/vinarca.desktop" "$folder/"
  # A stand-in for the program that records where it was started from.
  printf '#!/bin/sh\nprintf "%%s" "$0" > "$HOME/avviato"\n' > "$folder/vinarca"
  chmod +x "$folder/vinarca"
  : > "$folder/vinarca.png"

  # Started by a relative path from elsewhere: the entry still names the
  # folder's absolute place.
  if ! (cd "$work" && "./$place/installa-menu.sh" >/dev/null); then
    fail "[$place] install failed"; continue
  fi
  [ -f "$entry" ] || { fail "[$place] no menu entry written"; continue; }
  if command -v desktop-file-validate >/dev/null && ! desktop-file-validate "$entry"; then
    fail "[$place] entry does not validate"
  fi
  grep -qx 'Name=Vinarca' "$entry" || fail "[$place] Name lost"
  grep -qx 'Categories=Office;' "$entry" || fail "[$place] Categories lost"

  # Read Exec and Icon back: the string escape (\\ is one backslash), the
  # doubled %, then the double-quoted argument as a shell reads it.
  exec_value=$(sed -n 's/^Exec=//p' "$entry" | sed -e 's/\\\\/\\/g' -e 's/%%/%/g')
  icon_value=$(sed -n 's/^Icon=//p' "$entry" | sed -e 's/\\\\/\\/g')
  eval "set -- $exec_value"
  [ $# -eq 1 ] && [ "$1" = "$folder/vinarca" ] || fail "[$place] Exec reads as '$*', not '$folder/vinarca'"
  [ "$icon_value" = "$folder/vinarca.png" ] || fail "[$place] Icon reads as '$icon_value'"
  rm -f "$HOME/avviato"
  "$@" 2>/dev/null || true
  [ "$(cat "$HOME/avviato" 2>/dev/null)" = "$folder/vinarca" ] || fail "[$place] the entry does not start the folder's program"

  "$folder/installa-menu.sh" --rimuovi >/dev/null || fail "[$place] removal failed"
  [ ! -e "$entry" ] || fail "[$place] entry still there after --rimuovi"
done

# Removing when nothing is installed is no error; an unknown option is.
"$source_dir/installa-menu.sh" --rimuovi >/dev/null || fail "removal without an entry failed"
if "$source_dir/installa-menu.sh" --boh >/dev/null 2>&1; then fail "unknown option accepted"; fi

[ "$failures" -eq 0 ] && echo "launcher: all cases passed"
exit "$failures"

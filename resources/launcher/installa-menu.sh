#!/bin/sh
# Aggiunge Vinarca al menu delle applicazioni dell'utente, con il programma e
# l'icona della cartella in cui si trova ora questo file. Dopo aver spostato
# la cartella basta eseguirlo di nuovo.
#   ./installa-menu.sh            aggiunge (o aggiorna) la voce di menu
#   ./installa-menu.sh --rimuovi  toglie la voce di menu
set -eu

applications="${XDG_DATA_HOME:-$HOME/.local/share}/applications"
entry="$applications/vinarca.desktop"

refresh_menu() {
  # Menus that keep a cache of the entries see the change at once.
  if command -v update-desktop-database >/dev/null 2>&1; then
    update-desktop-database "$applications" >/dev/null 2>&1 || true
  fi
}

case "${1:-}" in
  --rimuovi)
    rm -f "$entry"
    refresh_menu
    echo "Vinarca è stato tolto dal menu delle applicazioni."
    exit 0
    ;;
  "") ;;
  *)
    echo "Uso: $0 [--rimuovi]" >&2
    exit 2
    ;;
esac

folder=$(cd "$(dirname "$0")" && pwd -P)
case "$folder" in
  *'
'*)
    echo "Il percorso della cartella contiene un a capo: spostala in una cartella dal nome più semplice." >&2
    exit 1
    ;;
esac
if [ ! -x "$folder/vinarca" ] || [ ! -f "$folder/vinarca.desktop" ]; then
  printf "In %s mancano vinarca o vinarca.desktop: esegui questo file dalla cartella di Vinarca.\n" "$folder" >&2
  exit 1
fi

# A desktop entry's Exec takes the program as one double-quoted argument, in
# which \ " ` $ are escaped with a backslash and % is doubled; every value is
# then a string in which a backslash is written twice.
VINARCA_EXEC=$(printf '%s' "$folder/vinarca" | sed -e 's/[\\"`$]/\\&/g' -e 's/%/%%/g' -e 's/\\/\\\\/g')
VINARCA_EXEC="\"$VINARCA_EXEC\""
VINARCA_ICON=$(printf '%s' "$folder/vinarca.png" | sed -e 's/\\/\\\\/g')
export VINARCA_EXEC VINARCA_ICON

mkdir -p "$applications"
partial="$entry.partial"
awk '/^Exec=/ { print "Exec=" ENVIRON["VINARCA_EXEC"]; next }
     /^Icon=/ { print "Icon=" ENVIRON["VINARCA_ICON"]; next }
     { print }' "$folder/vinarca.desktop" > "$partial"
mv -f "$partial" "$entry"
refresh_menu
printf "Vinarca è nel menu delle applicazioni (Ufficio) e si avvia da %s\n" "$folder"

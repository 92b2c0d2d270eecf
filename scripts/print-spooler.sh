#!/usr/bin/env bash
# A local print spooler for the real printing test: Debian's cups with one
# cups-pdf queue whose output folder every user can read.
#
#   scripts/print-spooler.sh start   installs what is missing (as root), starts
#                                    cupsd unless one runs, adds the queue and
#                                    prints the variables the test reads:
#                                      VINARCA_PRINT_QUEUE=VinarcaPDF
#                                      VINARCA_PRINT_OUT=/var/spool/vinarca-print
#   scripts/print-spooler.sh stop    removes the queue, restores cups-pdf's
#                                    settings and stops the cupsd it started
#
# Use: eval "$(scripts/print-spooler.sh start)"; ...; scripts/print-spooler.sh stop
set -euo pipefail

queue=${VINARCA_PRINT_QUEUE:-VinarcaPDF}
out=${VINARCA_PRINT_OUT:-/var/spool/vinarca-print}
state=/run/vinarca-print-spooler
conf=/etc/cups/cups-pdf.conf
packages=(cups cups-client cups-bsd printer-driver-cups-pdf)

log() { echo "print-spooler: $*" >&2; }

scheduler_running() { lpstat -r 2>/dev/null | grep -q "is running"; }

start() {
  if [ "$(id -u)" -ne 0 ]; then
    log "needs root to install and start cups"; exit 1
  fi
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    log "installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi

  mkdir -p "$state" "$out"
  chmod 1777 "$out"
  # cups-pdf writes jobs of users it does not know (the tests run as nobody)
  # into its anonymous folder; point both folders at one readable place.
  if [ ! -f "$state/cups-pdf.conf.orig" ]; then
    cp "$conf" "$state/cups-pdf.conf.orig"
  fi
  {
    grep -vE '^[[:space:]]*(Out|AnonDirName|AnonUMask|UserUMask|Label)[[:space:]]' "$state/cups-pdf.conf.orig" || true
    echo "Out $out"
    echo "AnonDirName $out"
    echo "AnonUMask 0000"
    echo "UserUMask 0000"
    echo "Label 1"
  } > "$conf"

  if ! scheduler_running; then
    mkdir -p /run/cups
    /usr/sbin/cupsd -f >/dev/null 2>&1 &
    echo $! > "$state/cupsd.pid"
    for _ in $(seq 1 50); do
      scheduler_running && break
      sleep 0.2
    done
  fi
  scheduler_running || { log "cupsd did not start"; exit 1; }

  lpadmin -p "$queue" -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd -o printer-is-shared=false
  cupsenable "$queue"
  cupsaccept "$queue"
  lpstat -p "$queue" >/dev/null
  echo "export VINARCA_PRINT_QUEUE=$queue"
  echo "export VINARCA_PRINT_OUT=$out"
}

stop() {
  lpadmin -x "$queue" 2>/dev/null || true
  if [ -f "$state/cupsd.pid" ]; then
    pid=$(cat "$state/cupsd.pid")
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 1 25); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.2
    done
    rm -f "$state/cupsd.pid"
  fi
  if [ -f "$state/cups-pdf.conf.orig" ]; then
    cp "$state/cups-pdf.conf.orig" "$conf"
    rm -f "$state/cups-pdf.conf.orig"
  fi
}

case "${1:-}" in
  start) start ;;
  stop) stop ;;
  *) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac

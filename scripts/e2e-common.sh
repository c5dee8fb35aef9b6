# Shared by the desktop end-to-end tests (desktop-e2e.sh on Linux, windows-e2e.sh
# under Wine): the tally of checks, a bare X server, CUPS with a PDF printer,
# waiting for windows and files, and stopping what they started. The script that
# sources it sets `work` (its temporary folder) and `printer` (its queue) first.
# shellcheck shell=bash

passed=0
failed=0
xvfb_pid=""
cupsd_pid=""

check() {  # check NAME COMMAND...
  local name=$1
  shift
  if "$@"; then
    echo "ok   $name"
    passed=$((passed + 1))
  else
    echo "FAIL $name"
    failed=$((failed + 1))
  fi
}

# A bare X server (no window manager, no clipboard manager) with a 1920x1080
# screen, made the DISPLAY.
start_x_server() {
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$work/display")"
}

# CUPS (started when no scheduler runs) with $printer, a cups-pdf queue, as the
# default printer; cups-pdf writes into $pdf_home.
start_pdf_printer() {
  # lpstat -r ends with 0 either way; only its text tells.
  scheduler_runs() { lpstat -r 2>/dev/null | grep -q 'scheduler is running'; }
  if ! scheduler_runs; then
    /usr/sbin/cupsd -f >"$work/cupsd.log" 2>&1 &
    cupsd_pid=$!
    for _ in $(seq 100); do scheduler_runs && break; sleep 0.1; done
  fi
  if ! lpadmin -p "$printer" -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>"$work/lpadmin.log" ||
    ! lpadmin -d "$printer"; then
    echo "$(basename "$0"): the PDF printer could not be set up:" >&2
    cat "$work/lpadmin.log" "$work/cupsd.log" >&2 2>/dev/null || true
    exit 1
  fi
  pdf_home=$(getent passwd "$(id -un)" | cut -d: -f6)/PDF
  mkdir -p "$pdf_home"
}

stop_x_server_and_printer() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  lpadmin -x "$printer" 2>/dev/null || true
  [ -n "$cupsd_pid" ] && kill "$cupsd_pid" 2>/dev/null || true
}

wait_window() {  # wait_window NAME [SECONDS] -> window id
  local deadline=$((SECONDS + ${2:-30})) id
  while [ $SECONDS -lt $deadline ]; do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  return 1
}

wait_gone() {  # wait_gone NAME
  for _ in $(seq 150); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

wait_file() {  # wait_file PATH: until it exists and its size settles
  local last=-1 size
  for _ in $(seq 300); do
    if [ -f "$1" ]; then
      size=$(stat -c %s "$1")
      [ "$size" -gt 0 ] && [ "$size" = "$last" ] && return 0
      last=$size
    fi
    sleep 0.1
  done
  return 1
}

# The newest file the PDF printer writes after it had `before` files, once it is
# complete; empty when none comes within 60 s.
wait_printed() {  # wait_printed BEFORE
  local printed
  for _ in $(seq 600); do
    if [ "$(ls "$pdf_home" | wc -l)" -gt "$1" ]; then
      printed=$pdf_home/$(ls -t "$pdf_home" | head -1)
      wait_file "$printed" && { echo "$printed"; return 0; }
    fi
    sleep 0.1
  done
  return 0
}

pages_of() { pdfinfo "$1" 2>/dev/null | awk '/^Pages:/ {print $2}'; }

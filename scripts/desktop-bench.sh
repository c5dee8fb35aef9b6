#!/usr/bin/env bash
# Speed of the desktop program on a bare X server (Xvfb), with the demo job:
#   start -> first page visible: from starting tabulon-demo (which hands its job
#     over and starts tabulon) to the "Multiple Pages!" question, which is asked
#     right after page 1 has been drawn and shown;
#   F6 -> file written: from the F6 key to My_doc.pdf being complete on disk.
# Each is measured RUNS times (default 5); the script prints every run and the
# median. Usage: scripts/desktop-bench.sh [BUILD-DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=$(cd "${1:-build}" && pwd)
runs=${2:-5}

work=$(mktemp -d "${TMPDIR:-/tmp}/tabulon-bench.XXXXXX")
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 -p "$XDG_RUNTIME_DIR" "$work/bin" "$work/run"
printf '#!/bin/sh\n' >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
export PATH=$work/bin:$PATH
cp "$root/data/printlogo.jpg" "$work/run/"

now() { date +%s%N; }
ms() { echo $((($2 - $1) / 1000000)); }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'; }

startup=()
export_times=()
for run in $(seq "$runs"); do
  rm -f "$work/run/My_doc.pdf"
  started=$(now)
  (cd "$work/run" && "$build/bin/tabulon-demo")
  question=""
  until question=$(xdotool search --onlyvisible --name '^Multiple Pages!$' 2>/dev/null | head -1) && [ -n "$question" ]; do
    sleep 0.005
  done
  shown=$(now)
  startup+=("$(ms "$started" "$shown")")
  xdotool windowfocus --sync "$question" key Escape
  main=$(xdotool search --onlyvisible --name '^PREVIEW 2.0$' | head -1)
  xdotool windowfocus --sync "$main"
  sleep 0.3
  pressed=$(now)
  xdotool key F6
  last=-1
  while :; do
    if [ -f "$work/run/My_doc.pdf" ]; then
      size=$(stat -c %s "$work/run/My_doc.pdf")
      # The writer writes the file in one piece; it ends with %%EOF.
      if [ "$size" -gt 0 ] && [ "$size" = "$last" ] && tail -c 6 "$work/run/My_doc.pdf" | grep -q '%%EOF'; then
        break
      fi
      last=$size
    fi
    sleep 0.002
  done
  written=$(now)
  export_times+=("$(ms "$pressed" "$written")")
  xdotool key Escape
  sleep 0.3
  echo "run $run: start to first page ${startup[-1]} ms, F6 to file written ${export_times[-1]} ms"
done
echo "median of $runs runs: start to first page visible $(printf '%s\n' "${startup[@]}" | median) ms," \
  "F6 to file written $(printf '%s\n' "${export_times[@]}" | median) ms"

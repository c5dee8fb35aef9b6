#!/usr/bin/env bash
# End-to-end test of the Windows programs under Wine, on a bare X server (Xvfb
# 1920x1080, no window manager) with CUPS and a PDF printer:
#   tabulon-demo.exe hands the demo job over and starts tabulon.exe; the window
#   has the 1920x1080 layout; "Multiple Pages!" is asked three times and
#   answered Yes; the footer box and the rows of the page on show are where the
#   layout puts them; F6 writes My_doc.pdf (4 pages, 181 rows) and starts the
#   viewer SumatraPDF.exe with it; F4 prints through the printer dialog to the
#   PDF printer (4 pages); Escape ends tabulon.exe, with exit code 0.
# Wine-only measures, all here and none in the programs: a hidden window kept
# open across the hand-over (Wine's clipboard lives in a desktop process that
# ends with the last window), Liberation fonts standing in for Arial and Courier
# New in the prefix, Wine's windows left unmanaged (without a window manager
# keys do not reliably reach a message box otherwise), a stand-in
# SumatraPDF.exe found through WINEPATH.
# Usage: scripts/windows-e2e.sh [SCREENSHOT-OUT]   (after scripts/windows-tests.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
screenshot_out=${1:-}
build=$root/build-windows
bin=$build/bin
tools=$build/tests/windows/e2e
printer=TabulonWine
wine_limit=120

export WINEPREFIX=$build/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8 LC_ALL=C.UTF-8 TZ=UTC

work=$(mktemp -d "${TMPDIR:-/tmp}/tabulon-wine-e2e.XXXXXX")
# shellcheck source=scripts/e2e-common.sh
source "$root/scripts/e2e-common.sh"
keeper_pid=""

cleanup() {
  [ -n "$keeper_pid" ] && kill "$keeper_pid" 2>/dev/null || true
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  stop_x_server_and_printer
  if [ -n "${TABULON_E2E_KEEP:-}" ]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

# --- a bare X server, CUPS with a PDF printer, Wine on that display ------------
start_x_server
start_pdf_printer

quiet_wine() { timeout -k 10 "$wine_limit" wine "$@" </dev/null >/dev/null 2>&1; }
timeout -k 10 "$wine_limit" wineserver -p </dev/null >/dev/null 2>&1
quiet_wine cmd /c exit 0
quiet_wine regedit /S "$root/tests/windows/wine-font-replacements.reg"
quiet_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
timeout -k 10 "$wine_limit" wine "$tools/keep_alive.exe" 1800 </dev/null >/dev/null 2>&1 &
keeper_pid=$!

# The stand-in viewer records its arguments; the job's logo lies in the folder
# the programs run in, as a producer's would.
mkdir -p "$work/run"
cp "$root/data/printlogo.jpg" "$work/run/"
export WINEPATH
WINEPATH=$(winepath -w "$tools/viewer" 2>/dev/null)
export TABULON_VIEWER_LOG
TABULON_VIEWER_LOG=$(winepath -w "$work/viewer.args" 2>/dev/null)

# --- helpers --------------------------------------------------------------------
# Wine loses a key sent before its window has settled, and one sent with
# --window to a window that closes on it stays held down: focus, wait, then type.
press() {  # press WINDOW KEY...
  local window=$1
  shift
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  sleep 0.5
  xdotool key --delay 80 "$@"
}
tabulon_runs() { pgrep -f 'tabulon\.exe' >/dev/null; }
wait_ended() {
  for _ in $(seq 150); do
    tabulon_runs || return 0
    sleep 0.1
  done
  return 1
}
# The colour of one pixel of the screen, as "r,g,b".
pixel() {  # pixel X Y
  import -window root -crop "1x1+$1+$2" +repage -depth 8 txt:- 2>/dev/null |
    sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p' | head -1
}
# How many dark pixels a screen area holds.
dark_pixels() {  # dark_pixels WIDTHxHEIGHT+X+Y
  import -window root -crop "$1" +repage png:- 2>/dev/null |
    convert - -colorspace gray -threshold 50% -negate -format '%[fx:round(mean*w*h)]' info: 2>/dev/null
}

# --- 1. the demo's hand-over, layout, the questions, the page on show -------------
demo_rc=0
(cd "$work/run" && timeout -k 10 "$wine_limit" wine "$bin/tabulon-demo.exe" 2>"$work/demo.err") || demo_rc=$?
check "tabulon-demo.exe ends with 0" [ "$demo_rc" = 0 ]
main=$(wait_window "PREVIEW 2.0") || main=""
check "tabulon.exe opens the preview window" [ -n "$main" ]
geometry=$(xdotool getwindowgeometry "$main" 2>/dev/null | tr -s ' ' | tr '\n' ' ')
check "window at 674,5 with inner size 619x816 ($geometry)" grep -q "Position: 674,5 .*Geometry: 619x816" <<<"$geometry"

asked=0
for _ in 1 2 3; do
  question=$(wait_window "Multiple Pages!") || break
  asked=$((asked + 1))
  press "$question" Return
  wait_gone "Multiple Pages!" || true
  sleep 0.3
done
check "\"Multiple Pages!\" is asked three times and answered Yes" [ "$asked" = 3 ]
check "no fourth question after the last page" bash -c "! xdotool search --onlyvisible --name '^Multiple Pages!\$' >/dev/null 2>&1"
sleep 0.5
# Page 4 on show: at 2.7272 pixels per millimetre from the canvas at (677, 8),
# the green footer box spans 10..200 mm by 286..294 mm, and the rows start at
# 37 mm, 5 mm apart, from x = 10 mm.
check "the footer box is green where the layout puts it" [ "$(pixel $((677 + 518)) $((8 + 790)))" = "0,255,0" ]
check "the footer box ends where the layout puts it" [ "$(pixel $((677 + 518)) $((8 + 805)))" != "0,255,0" ]
rows_ink=$(dark_pixels "80x14+$((677 + 27))+$((8 + 101))")
check "the first row's text is on the canvas (${rows_ink:-0} dark pixels)" [ "${rows_ink:-0}" -gt 20 ]
blank=$(dark_pixels "80x14+$((677 + 27))+$((8 + 760))")
check "below the last row of page 4 the canvas is blank (${blank:-0} dark pixels)" [ "${blank:-1}" = 0 ]
mkdir -p "$root/out"
import -window root -crop 619x816+674+5 +repage "${screenshot_out:-$root/out/preview-windows.png}"

# --- 2. F6: the PDF and the viewer ------------------------------------------------
rm -f "$work/viewer.args"
press "$main" F6
check "F6 writes My_doc.pdf" wait_file "$work/run/My_doc.pdf"
check "My_doc.pdf has 4 pages" [ "$(pages_of "$work/run/My_doc.pdf")" = 4 ]
pdftotext "$work/run/My_doc.pdf" "$work/my_doc.txt" 2>/dev/null || true
check "My_doc.pdf holds the 181 rows" [ "$(grep -c 'Sales PC software' "$work/my_doc.txt" || true)" = 181 ]
check "F6 starts SumatraPDF.exe with My_doc.pdf as its one argument" \
  bash -c "for _ in \$(seq 100); do [ -s '$work/viewer.args' ] && break; sleep 0.1; done; [ \"\$(cat '$work/viewer.args')\" = My_doc.pdf ]"

# --- 3. F4: the printer dialog and the printed pages --------------------------------
# The viewer took Wine's foreground; a click on the canvas (which does nothing)
# gives the keyboard back to the preview.
xdotool mousemove --sync $((677 + 300)) $((8 + 400)) click 1
before=$(ls "$pdf_home" | wc -l)
press "$main" F4
dialog=$(wait_window "Print") || dialog=""
check "F4 opens the printer dialog" [ -n "$dialog" ]
[ -n "$dialog" ] && press "$dialog" Return
printed=$(wait_printed "$before")
check "the PDF printer writes the print job" [ -n "$printed" ]
check "the printed file has 4 pages" [ "$(pages_of "$printed")" = 4 ]
check "the print job is named \"Utskrift Preview\"" grep -q "Utskrift_Preview" <<<"$printed"

press "$main" Escape
check "Escape ends the tabulon.exe the demo started" wait_ended

# --- 4. the exit code ------------------------------------------------------------------
# The test starts tabulon.exe itself, on the job the clipboard still holds, to
# see its exit code: No at the first question, then Escape.
(cd "$work/run" && timeout -k 10 "$wine_limit" wine "$bin/tabulon.exe"; echo $? >"$work/tabulon.rc") \
  </dev/null >/dev/null 2>&1 &
question=$(wait_window "Multiple Pages!") || question=""
[ -n "$question" ] && press "$question" n
wait_gone "Multiple Pages!" || true
main=$(wait_window "PREVIEW 2.0") || main=""
[ -n "$main" ] && press "$main" Escape
for _ in $(seq 150); do [ -s "$work/tabulon.rc" ] && break; sleep 0.1; done
check "Escape ends tabulon.exe with exit code 0" [ "$(cat "$work/tabulon.rc" 2>/dev/null)" = 0 ]

echo "windows-e2e: $passed passed, $failed failed"
[ "$failed" = 0 ]

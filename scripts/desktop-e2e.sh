#!/usr/bin/env bash
# End-to-end test of the desktop programs on a bare X server (Xvfb, no window
# manager, no clipboard manager) with a real CUPS and a PDF printer. It runs the
# programs of the build tree as a user would, from build/bin/:
#   `make demo` opens the preview window;
#   tabulon-demo hands the demo job over and starts tabulon; the preview window
#   has the 1920x1080 layout; "Multiple Pages!" is asked and answered; the canvas
#   on screen equals tabulon-export --png for that page; F6 writes My_doc.pdf and
#   starts the viewer; F4 prints to the PDF printer; tabulon-export --print
#   prints on a named printer and refuses an unknown one; arrows change nothing;
#   Escape, the exit button and closing the window each end with exit code 0;
#   tabulon without a display and tabulon-demo without a tabulon to start say so
#   and end with 1; a
#   PDF that cannot be saved (read-only folder, a folder in its place, /dev/full,
#   a write limit, a full filesystem, a rejected name) is reported with the
#   writer's code and text, starts no viewer and loses nothing; a signal during
#   the write leaves no temporary file, and closing the window waits for the file.
# Usage: scripts/desktop-e2e.sh [BUILD-DIR] [SCREENSHOT-OUT]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=$(cd "${1:-build}" && pwd)
screenshot_out=${2:-}

tabulon=$build/bin/tabulon
demo=$build/bin/tabulon-demo
exporter=$build/bin/tabulon-export
close_request=$build/tests/e2e/send_close_request
clipboard_put=$build/tests/e2e/clipboard_put
printer=TabulonE2E

work=$(mktemp -d "${TMPDIR:-/tmp}/tabulon-e2e.XXXXXX")
# shellcheck source=scripts/e2e-common.sh
source "$root/scripts/e2e-common.sh"

cleanup() {
  stop_x_server_and_printer
  umount -l "$work/save/full" 2>/dev/null || true
  if [ -n "${TABULON_E2E_KEEP:-}" ]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

# --- a bare X server, CUPS with a PDF printer -------------------------------------
start_x_server
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
start_pdf_printer

# --- the folders the programs run in --------------------------------------------
# A stand-in xdg-open first in PATH records the viewer's arguments, one a line.
mkdir -p "$work/bin" "$work/run"
cat >"$work/bin/xdg-open" <<EOF
#!/bin/sh
for a in "\$@"; do printf '%s\n' "\$a"; done >>"$work/viewer.args"
EOF
chmod +x "$work/bin/xdg-open"
export PATH=$work/bin:$PATH
cp "$root/data/printlogo.jpg" "$work/run/"

# --- helpers --------------------------------------------------------------------
press() {  # press WINDOW KEY...
  local window=$1
  shift
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool key --delay 50 "$@"
}
wait_exit_code() {  # the exit code of the tabulon start_tabulon started, once it ended
  for _ in $(seq 100); do
    [ -s "$work/tabulon.rc" ] && { cat "$work/tabulon.rc"; return 0; }
    sleep 0.1
  done
  echo "none"
}
start_tabulon() {  # start_tabulon FOLDER [PREFIX COMMAND...]: in the background
  local folder=$1
  shift
  rm -f "$work/tabulon.rc" "$work/tabulon.err"
  # Without errexit: a tabulon that ends with a failure or by a signal must still
  # have its status recorded.
  (set +e; cd "$folder" && "$@" "$tabulon" 2>"$work/tabulon.err"; echo $? >"$work/tabulon.rc") &
}
# Whether a process runs PROGRAM and has not ended (an ended process whose parent
# has gone may linger as a zombie where nothing reaps it).
running() {  # running PROGRAM-PATH
  local pid
  for pid in $(pgrep -f "^$1\$" 2>/dev/null); do
    [ "$(ps -o stat= -p "$pid" 2>/dev/null | cut -c1)" = Z ] || return 0
  done
  return 1
}
wait_ended() {  # wait_ended PROGRAM-PATH: until no such process runs
  for _ in $(seq 100); do
    running "$1" || return 0
    sleep 0.1
  done
  return 1
}
capture_canvas() {  # capture_canvas OUT.png: the canvas's pixels on screen
  import -window root -crop 573x810+677+8 +repage "$1"
}
same_picture() {  # same_picture A B: no pixel differs
  local differing
  differing=$(compare -metric AE "$1" "$2" null: 2>&1 || true)
  [ "$differing" = "0" ]
}
canvas_shows() {  # canvas_shows EXPECTED.png: the screen gets there within 5 s
  for _ in $(seq 25); do
    capture_canvas "$work/screen.png"
    same_picture "$work/screen.png" "$1" && return 0
    sleep 0.2
  done
  return 1
}

# The preview's pages as the exporter draws them, for the screen of this test.
(cd "$work/run" && "$exporter" --demo --png "$work/png" --screen 1920x1080 >/dev/null)
rm -f "$work/run/My_doc.pdf"

# --- 1. demo hand-over, layout, question, screenshot, F6, F4, arrows, Escape ----
# The real tabulon-demo of the build tree starts the real tabulon beside it.
demo_rc=0
(cd "$work/run" && "$demo") || demo_rc=$?
check "tabulon-demo ends with 0" [ "$demo_rc" = 0 ]
check "tabulon-demo starts the tabulon beside it" running "$tabulon"
main=$(wait_window "PREVIEW 2.0") || main=""
check "tabulon opens the preview window" [ -n "$main" ]
geometry=$(xdotool getwindowgeometry "$main" 2>/dev/null | tr -s ' ' | tr '\n' ' ')
check "window at 674,5 with inner size 619x816" grep -q "Position: 674,5 .*Geometry: 619x816" <<<"$geometry"

question=$(wait_window "Multiple Pages!") || question=""
check "the question \"Multiple Pages!\" appears after page 1" [ -n "$question" ]
capture_canvas "$work/page1-under-question.png"
top_rows() { convert "$1" -crop 573x200+0+0 +repage "$2"; }
top_rows "$work/page1-under-question.png" "$work/screen-top.png"
top_rows "$work/png/page-1.png" "$work/export-top.png"
check "page 1 is on show while the question is asked" same_picture "$work/screen-top.png" "$work/export-top.png"
press "$question" Return  # Yes: page 2
sleep 0.3
question=$(wait_window "Multiple Pages!") || question=""
check "Yes shows page 2 and asks again" [ -n "$question" ]
press "$question" Escape  # No: page 2 stays
wait_gone "Multiple Pages!" || true
check "the canvas on screen equals tabulon-export --png page 2" canvas_shows "$work/png/page-2.png"
if [ -n "$screenshot_out" ]; then
  import -window root -crop 619x816+674+5 +repage "$screenshot_out"
fi

press "$main" Left Right Up Down
sleep 0.5
capture_canvas "$work/after-arrows.png"
check "arrow keys change nothing" same_picture "$work/png/page-2.png" "$work/after-arrows.png"
check "arrow keys open no dialog" [ -z "$(xdotool search --onlyvisible --name '^(Print|Multiple Pages!)$' 2>/dev/null)" ]

rm -f "$work/viewer.args"
press "$main" F6
check "F6 writes My_doc.pdf" wait_file "$work/run/My_doc.pdf"
check "My_doc.pdf has 4 pages" [ "$(pages_of "$work/run/My_doc.pdf")" = 4 ]
pdftotext "$work/run/My_doc.pdf" "$work/my_doc.txt" 2>/dev/null || true
check "My_doc.pdf holds the 181 rows" [ "$(grep -c 'Sales PC software' "$work/my_doc.txt" || true)" = 181 ]
check "F6 starts the viewer with My_doc.pdf as its one argument" \
  bash -c "for _ in \$(seq 50); do [ -s '$work/viewer.args' ] && break; sleep 0.1; done; [ \"\$(cat '$work/viewer.args')\" = My_doc.pdf ]"

before=$(ls "$pdf_home" | wc -l)
press "$main" F4
dialog=$(wait_window "Print") || dialog=""
check "F4 opens the printer dialog" [ -n "$dialog" ]
press "$dialog" Return
printed=$(wait_printed "$before")
check "the PDF printer writes the print job" [ -n "$printed" ]
check "the printed file has 4 pages" [ "$(pages_of "$printed")" = 4 ]
check "the print job is named \"Utskrift Preview\"" grep -q "Utskrift_Preview" <<<"$printed"
# The printer's PostScript path keeps the glyphs but not their text, so the rows
# are read from the job as the printer received it, and the printed pages are
# compared with it picture for picture.
job_id=$(lpstat -W completed -o "$printer" 2>/dev/null | awk '{print $1}' | sed 's/.*-//' | sort -n | tail -1)
spooled=/var/spool/cups/$(printf 'd%05d-001' "${job_id:-0}")
pdftotext "$spooled" "$work/printed.txt" 2>/dev/null || true
check "the print job holds the 181 rows" [ "$(grep -c 'Sales PC software' "$work/printed.txt" || true)" = 181 ]
# Ghostscript redraws the glyphs on the way, so the pages are compared blurred.
same_page() {  # same_page N: printed page N looks like page N of the job as sent
  pdftoppm -r 40 -gray -f "$1" -l "$1" -singlefile "$spooled" "$work/spooled" 2>/dev/null || return 1
  pdftoppm -r 40 -gray -f "$1" -l "$1" -singlefile "$printed" "$work/printed" 2>/dev/null || return 1
  convert "$work/spooled.pgm" -blur 0x2 "$work/spooled-blur.pgm"
  convert "$work/printed.pgm" -blur 0x2 "$work/printed-blur.pgm"
  local rmse
  rmse=$(compare -metric RMSE "$work/spooled-blur.pgm" "$work/printed-blur.pgm" null: 2>&1 | sed 's/.*(\(.*\))/\1/')
  awk -v e="$rmse" 'BEGIN { exit !(e < 0.05) }'
}
check "the printed pages 1 and 4 show what was sent" bash -c "$(declare -f same_page); work='$work' spooled='$spooled' printed='$printed'; same_page 1 && same_page 4"

# tabulon-export --print takes the same way without a dialog.
before=$(ls "$pdf_home" | wc -l)
(cd "$work/run" && "$exporter" --demo --print "$printer")
exported=$(wait_printed "$before")
check "tabulon-export --print prints the 4 pages without a dialog" [ "$(pages_of "$exported")" = 4 ]

# A printer the system does not know is refused, and nothing goes to the default
# printer (the PDF printer, which would otherwise take the job).
jobs_before=$(lpstat -W all -o 2>/dev/null | wc -l)
status=0
(cd "$work/run" && "$exporter" --demo --print NoSuchPrinter 2>"$work/no-printer.err") || status=$?
check "tabulon-export --print NoSuchPrinter ends with 1" [ "$status" = 1 ]
check "... and names the printers it knows" \
  grep -qx "tabulon-export: no printer named NoSuchPrinter (known: \(.*, \)\?$printer\(, .*\)\?)" "$work/no-printer.err"
sleep 2
check "... and prints nothing anywhere" [ "$(lpstat -W all -o 2>/dev/null | wc -l)" = "$jobs_before" ]

press "$main" Escape
check "Escape ends the tabulon the demo started" wait_ended "$tabulon"

# --- 2. the three ways out, and their exit code -------------------------------------
# The test starts tabulon itself on a two-page job, to see its exit code.
way_out() {  # way_out NAME ACTION...: the page-1 question answered No, then ACTION
  local name=$1
  shift
  printf 'Ways,P/*\rtxt,A,B,16,10,22,K/*Page 1\reop/*\rtxt,A,B,16,10,22,K/*Page 2\r' | "$clipboard_put"
  start_tabulon "$work/run"
  question=$(wait_window "Multiple Pages!") || question=""
  press "$question" Escape
  wait_gone "Multiple Pages!" || true
  main=$(wait_window "PREVIEW 2.0") || main=""
  "$@"
  check "$name ends tabulon with exit code 0" [ "$(wait_exit_code)" = 0 ]
}
press_escape() { press "$main" Escape; }
click_exit_button() { xdotool mousemove --sync $((674 + 580 + 15)) $((5 + 648 + 15)) click 1; }
request_close() { "$close_request" "$main"; }
way_out "Escape" press_escape
way_out "the exit button" click_exit_button
way_out "closing the window" request_close

# --- 3. programs that cannot do their work say so and end with 1 ------------------
env -u DISPLAY -u WAYLAND_DISPLAY "$tabulon" 2>"$work/tabulon.err" && rc=0 || rc=$?
check "tabulon without a display ends with 1" [ "$rc" = 1 ]
check "tabulon without a display says so in one line" grep -qxF \
  "tabulon: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); for work without a display use tabulon-export" \
  "$work/tabulon.err"
unused_display=":$(($(cat "$work/display") + 50))"
DISPLAY=$unused_display "$tabulon" 2>"$work/tabulon.err" && rc=0 || rc=$?
check "tabulon on a display it cannot open ends with 1" [ "$rc" = 1 ]
check "tabulon on a display it cannot open says so in one line" grep -qxF \
  "tabulon: cannot open the display $unused_display; for work without a display use tabulon-export" "$work/tabulon.err"

# A tabulon-demo with no tabulon beside it and none in PATH (a copy of the
# program is the only way to have it alone).
mkdir -p "$work/lone" "$work/empty-path"
cp "$demo" "$work/lone/tabulon-demo"
(cd "$work/run" && PATH=$work/empty-path "$work/lone/tabulon-demo") 2>"$work/demo.err" && rc=0 || rc=$?
check "tabulon-demo without a tabulon ends with 1" [ "$rc" = 1 ]
check "tabulon-demo without a tabulon says where it looked" grep -qxF \
  "tabulon-demo: cannot start tabulon: not found beside $work/lone/tabulon-demo or in PATH" "$work/demo.err"
check "tabulon-demo without a tabulon leaves no clipboard owner behind" wait_ended "$work/lone/tabulon-demo"

# --- 4. the README's first command on this X server -------------------------------
# `make demo` builds (nothing to do by now) and runs the demo; it says the preview
# is open only once the window is there.
make_demo=(make -C "$root" demo)
[ "$build" = "$root/build" ] || make_demo+=(BUILD="$build")
"${make_demo[@]}" >"$work/make-demo.log" 2>&1 && rc=0 || rc=$?
check "make demo ends with 0" [ "$rc" = 0 ]
check "make demo says the preview is open" grep -q "^run-demo: the preview is open" "$work/make-demo.log"
main=$(wait_window "PREVIEW 2.0") || main=""
check "make demo shows the preview window" [ -n "$main" ]
question=$(wait_window "Multiple Pages!") || question=""
press "$question" Escape
wait_gone "Multiple Pages!" || true
press "$main" Escape
check "the preview of make demo ends on Escape" wait_ended "$tabulon"

# --- 5. PDFs that cannot be saved lose nothing --------------------------------
# Each case runs tabulon in its own folder on a job of one page, presses F6 and
# checks: the box "PDF not saved" appears, tabulon writes the box's text (the
# writer's code and text) on standard error, no viewer starts, the earlier file of
# that name keeps its bytes, no temporary file is left, and tabulon still ends
# with exit code 0.
cp "$work/run/My_doc.pdf" "$work/earlier.pdf"
# As root, tabulon runs without the capabilities that let root write anywhere, so
# that a folder's mode refuses it as it would refuse a user.
no_root_override=()
if [ "$(id -u)" = 0 ]; then
  drop=-dac_override,-dac_read_search,-fowner
  no_root_override=(setpriv --bounding-set="$drop" --inh-caps="$drop")
fi
# Writes past 16 KiB fail as on a full disk; SIGXFSZ is ignored, and stays ignored
# across exec, so the write returns EFBIG instead of ending the program.
size_limit=(bash -c 'trap "" XFSZ; ulimit -f 16; exec "$0" "$@"')

extra_lines=""  # more job lines for the next save_case
listing() { (cd "$1" && find . -mindepth 1 -printf '%p %y %s\n' | sort); }
save_case() {  # save_case NAME FOLDER DOCUMENT CODE TEXT [PREFIX COMMAND...]
  local name=$1 folder=$2 document=$3 code=$4 text=$5
  shift 5
  local file=$document.pdf expected before after
  expected="$file could not be written (error $code): $text"
  rm -f "$work/viewer.args"
  before=$(listing "$folder")
  { printf '%s,P/*\rtxt,A,B,16,10,22,K/*Unsaved\r' "$document"; printf '%s' "$extra_lines"; } | "$clipboard_put"
  start_tabulon "$folder" "$@"
  main=$(wait_window "PREVIEW 2.0") || main=""
  press "$main" F6
  message=$(wait_window "PDF not saved" 10) || message=""
  check "$name: a message box" [ -n "$message" ]
  press "$message" Return
  wait_gone "PDF not saved" || true
  sleep 0.3
  check "$name: no viewer starts" [ ! -e "$work/viewer.args" ]
  after=$(listing "$folder")
  check "$name: the folder is as it was (no temporary file, nothing replaced)" [ "$before" = "$after" ]
  press "$main" Escape
  check "$name: tabulon ends with exit code 0" [ "$(wait_exit_code)" = 0 ]
  check "$name: standard error says \"tabulon: $expected\"" grep -qxF "tabulon: $expected" "$work/tabulon.err"
}
same_bytes() { cmp -s "$1" "$2"; }

mkdir -p "$work/save/missing"
save_case "a folder that does not exist" "$work/save/missing" no_such_folder/My_doc 16 "Error creating file."

mkdir -p "$work/save/read-only"
cp "$work/earlier.pdf" "$work/save/read-only/My_doc.pdf"
chmod 555 "$work/save/read-only"
save_case "read-only folder" "$work/save/read-only" My_doc 16 "Error creating file." "${no_root_override[@]}"
chmod 755 "$work/save/read-only"
check "read-only folder: the earlier My_doc.pdf is unchanged" same_bytes "$work/earlier.pdf" "$work/save/read-only/My_doc.pdf"

mkdir -p "$work/save/folder/My_doc.pdf"
cp "$work/earlier.pdf" "$work/save/folder/My_doc.pdf/inner.pdf"
save_case "My_doc.pdf is a folder" "$work/save/folder" My_doc 16 "Error creating file."
check "My_doc.pdf is a folder: it and its file stay" same_bytes "$work/earlier.pdf" "$work/save/folder/My_doc.pdf/inner.pdf"

mkdir -p "$work/save/dev-full"
ln -s /dev/full "$work/save/dev-full/My_doc.pdf"
save_case "My_doc.pdf leads to /dev/full" "$work/save/dev-full" My_doc 16 "Error creating file."
check "My_doc.pdf leads to /dev/full: the link stays" [ "$(readlink "$work/save/dev-full/My_doc.pdf")" = /dev/full ]

mkdir -p "$work/save/size-limit"
cp "$work/earlier.pdf" "$work/save/size-limit/My_doc.pdf"
# Enough rows that the file is larger than the limit even without embedded fonts.
extra_lines=$(for i in $(seq 1000); do printf 'txt,A,N,10,10,%d,K/*Row %d\r' $((30 + i % 200)) "$i"; done)
save_case "writes fail past 16 KiB" "$work/save/size-limit" My_doc 16 "Error creating file." "${size_limit[@]}"
extra_lines=""
check "writes fail past 16 KiB: the earlier My_doc.pdf is unchanged" same_bytes "$work/earlier.pdf" "$work/save/size-limit/My_doc.pdf"

# A real full filesystem where mounting is allowed (root on a machine, not every
# container).
mkdir -p "$work/save/full"
if mount -t tmpfs -o size=1m tabulon-e2e "$work/save/full" 2>/dev/null; then
  cp "$work/earlier.pdf" "$work/save/full/My_doc.pdf"
  dd if=/dev/zero of="$work/save/full/filler" bs=4k 2>/dev/null || true
  save_case "full filesystem" "$work/save/full" My_doc 16 "Error creating file."
  check "full filesystem: the earlier My_doc.pdf is unchanged" same_bytes "$work/earlier.pdf" "$work/save/full/My_doc.pdf"
  umount -l "$work/save/full"
else
  echo "skip full filesystem: no tmpfs can be mounted here; the 16 KiB write limit stands in"
fi

mkdir -p "$work/save/bad-name"
cp "$work/earlier.pdf" "$work/save/bad-name/My:doc.pdf"
save_case "a document name with \":\"" "$work/save/bad-name" "My:doc" 15 "Filename is not correct."
check "a document name with \":\": the earlier My:doc.pdf is unchanged" same_bytes "$work/earlier.pdf" "$work/save/bad-name/My:doc.pdf"

# A clipboard that is one 10 MB header: the document name is the whole text. The
# box comes up at once with the name shortened (a 10 MB label would take Qt
# minutes to lay out) and the same line goes to standard error.
mkdir -p "$work/save/long-name"
long_name=$(head -c 10485760 /dev/zero | tr '\0' n)
short_name="$(printf 'n%.0s' $(seq 157))...$(printf 'n%.0s' $(seq 36)).pdf"
rm -f "$work/viewer.args"
printf '%s' "$long_name" | "$clipboard_put"
unset long_name
start_tabulon "$work/save/long-name"
main=$(wait_window "PREVIEW 2.0") || main=""
press "$main" F6
message=$(wait_window "PDF not saved" 10) || message=""
check "a 10 MB document name: the box comes up within 10 s" [ -n "$message" ]
press "$message" Return
wait_gone "PDF not saved" || true
press "$main" Escape
check "a 10 MB document name: tabulon ends with exit code 0" [ "$(wait_exit_code)" = 0 ]
check "a 10 MB document name: standard error shows the name shortened" \
  grep -qxF "tabulon: $short_name could not be written (error 16): Error creating file." "$work/tabulon.err"

# --- 6. odd clipboard text ----------------------------------------------------------
# NUL bytes and malformed UTF-8 come through the real clipboard: the preview opens,
# F6 writes a readable PDF with the texts around them, and tabulon ends with 0.
mkdir -p "$work/odd"
rm -f "$work/viewer.args"
printf 'Odd,P/*\rtxt,A,B,16,10,22,K/*Before\0after \xff\xfe bad \xc3\rtxt,A,N,12,10,40,K/*Second line\r' |
  "$clipboard_put"
start_tabulon "$work/odd"
main=$(wait_window "PREVIEW 2.0") || main=""
check "odd clipboard text: the preview opens" [ -n "$main" ]
press "$main" F6
check "odd clipboard text: F6 writes Odd.pdf" wait_file "$work/odd/Odd.pdf"
check "odd clipboard text: qpdf accepts Odd.pdf" bash -c "qpdf --check '$work/odd/Odd.pdf' >/dev/null"
check "odd clipboard text: Odd.pdf has 1 page" [ "$(pages_of "$work/odd/Odd.pdf")" = 1 ]
pdftotext "$work/odd/Odd.pdf" "$work/odd.txt" 2>/dev/null || true
check "odd clipboard text: Odd.pdf shows both lines" \
  bash -c "grep -aq 'Before' '$work/odd.txt' && grep -aq 'bad' '$work/odd.txt' && grep -q 'Second line' '$work/odd.txt'"
press "$main" Escape
check "odd clipboard text: tabulon ends with exit code 0" [ "$(wait_exit_code)" = 0 ]

# --- 7. no viewer to start ------------------------------------------------------------
# F6 writes the file whatever happens to the viewer, and a viewer that cannot be
# started is said on standard error.
mkdir -p "$work/no-viewer"
printf 'Seen,P/*\rtxt,A,B,16,10,22,K/*Written\r' | "$clipboard_put"
start_tabulon "$work/no-viewer" env PATH="$work/empty-path"
main=$(wait_window "PREVIEW 2.0") || main=""
press "$main" F6
check "no viewer: F6 still writes Seen.pdf" wait_file "$work/no-viewer/Seen.pdf"
press "$main" Escape
check "no viewer: tabulon ends with exit code 0" [ "$(wait_exit_code)" = 0 ]
check "no viewer: standard error says the viewer could not be started" grep -qxF \
  "tabulon: Seen.pdf is written, but the viewer xdg-open could not be started: No such file or directory" \
  "$work/tabulon.err"

# --- 8. an export interrupted, and the window closed during one -----------------
# F6 on a job with a 64 MB picture, so that the file takes a while to write. A
# signal sent once the temporary file exists removes it and still ends tabulon by
# that signal, and the earlier file keeps its bytes; closing the window then
# waits until the file is written whole.
big_picture=$work/big.jpg
{
  printf '\xff\xd8\xff\xe0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00\xff\xdb\x00\x43\x00'
  head -c 64 /dev/zero | tr '\0' '\001'
  printf '\xff\xc0\x00\x11\x08\x00\x01\x00\x01\x03\x01\x11\x00\x02\x11\x00\x03\x11\x00'
  printf '\xff\xda\x00\x0c\x03\x01\x00\x02\x00\x03\x00\x00\x3f\x00'
  head -c 67108864 /dev/zero
  printf '\xff\xd9'
} >"$big_picture"
interrupted_case() {  # interrupted_case NAME ACTION EXIT-CODE: F6, then ACTION (a signal or "close")
  local name=$1 action=$2 code=$3 folder=$work/interrupted/$2 appeared=no before
  mkdir -p "$folder"
  cp "$work/earlier.pdf" "$folder/Big.pdf"
  before=$(listing "$folder")
  rm -f "$work/viewer.args"
  printf 'Big,P/*\rtxt,A,B,16,10,22,K/*Interrupted\rimg,10,40,50,50,%s/*\r' "$big_picture" | "$clipboard_put"
  start_tabulon "$folder"
  main=$(wait_window "PREVIEW 2.0") || main=""
  press "$main" F6
  for _ in $(seq 3000); do
    compgen -G "$folder/.tabulon-*" >/dev/null && { appeared=yes; break; }
    sleep 0.005
  done
  check "$name: the temporary file appears during the write" [ "$appeared" = yes ]
  if [ "$action" = close ]; then "$close_request" "$main"; else kill -"$action" "$(pgrep -f "^$tabulon\$")"; fi
  check "$name: tabulon ends with exit code $code" [ "$(wait_exit_code)" = "$code" ]
  if [ "$action" = close ]; then
    check "$name: Big.pdf is written whole" bash -c "qpdf --check '$folder/Big.pdf' >/dev/null"
    check "$name: the viewer starts on Big.pdf" [ "$(cat "$work/viewer.args" 2>/dev/null)" = Big.pdf ]
    check "$name: no temporary file is left" [ "$(cd "$folder" && ls -A)" = Big.pdf ]
  else
    check "$name: the folder is as it was (no temporary file, the earlier Big.pdf)" [ "$(listing "$folder")" = "$before" ]
    check "$name: the earlier Big.pdf is unchanged" same_bytes "$work/earlier.pdf" "$folder/Big.pdf"
    check "$name: no viewer starts" [ ! -e "$work/viewer.args" ]
  fi
}
interrupted_case "SIGTERM during the write" TERM 143
interrupted_case "SIGHUP during the write" HUP 129
interrupted_case "closing the window during the write" close 0

echo "e2e: $passed passed, $failed failed"
[ "$failed" = 0 ]

#!/usr/bin/env bash
# The Windows build and its tests under Wine, after the Linux build:
#   1. a Wine prefix of its own in build-windows/wine-prefix, and one wineserver
#      kept running for every Wine call of this script;
#   2. the cross build (programs, zip, tests) into build-windows/, and the DLLs
#      tabulon-export.exe, tabulon.exe and tabulon-demo.exe import (only
#      Windows' own);
#   3. tabulon-export.exe against the Linux build's tabulon-export, byte for byte,
#      on generated jobs that use only the standard fonts (both encodings, some
#      compressed, one through standard input) and on the demo, run from the
#      unpacked zip in a folder named outside ASCII; its --help and its refusal
#      of --png and --print;
#   4. the unit tests, through ctest with Wine as the emulator.
# Usage: scripts/windows-tests.sh [LINUX_BUILD]   (default: build; its
# tabulon-export is built when it is missing)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
linux_build=$(realpath -m "${1:-build}")
build=$root/build-windows
jobs=$(nproc)
wine_limit=120  # seconds for any single Wine call outside ctest

# The same Wine for every run: its own prefix, no messages of its own, the code
# page and decimal separator of C.UTF-8 (Windows-1252, "."), UTC, no display,
# and no prompts for Wine's .NET and HTML add-ons when the prefix is made.
export WINEPREFIX=$build/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8 LC_ALL=C.UTF-8 TZ=UTC
unset DISPLAY WAYLAND_DISPLAY

step_started=0
step() {
  if [ "$step_started" != 0 ]; then echo "   ($(( $(date +%s) - step_started )) s)"; fi
  step_started=$(date +%s)
  [ $# -gt 0 ] && echo "-- $*"
  return 0
}

quiet_wine() { timeout -k 10 "$wine_limit" wine "$@" </dev/null >/dev/null 2>&1; }

step "Wine prefix $WINEPREFIX"
mkdir -p "$build"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  timeout -k 10 "$wine_limit" wineboot -i </dev/null >/dev/null 2>&1
  timeout -k 10 "$wine_limit" wineserver -w
fi
# A persistent wineserver with its own services, started with none of our pipes:
# Wine's background processes would otherwise hold ctest's output pipes open.
timeout -k 10 "$wine_limit" wineserver -p </dev/null >/dev/null 2>&1
trap 'timeout 30 wineserver -k >/dev/null 2>&1 || true' EXIT
quiet_wine cmd /c exit 0

step "cross build (mingw-w64) into build-windows/"
# The desktop programs explicitly: a tree configured before the Windows build
# had them keeps TABULON_DESKTOP off in its cache.
cmake -S . -B "$build" --toolchain cmake/mingw-w64-x86_64.cmake --no-warn-unused-cli -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTABULON_DESKTOP=ON -DTABULON_WERROR=ON >/dev/null
cmake --build "$build" -j "$jobs"
exe=$build/bin/tabulon-export.exe
for program in tabulon-export tabulon tabulon-demo; do
  imports=$(x86_64-w64-mingw32-objdump -p "$build/bin/$program.exe" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')
  echo "   $program.exe imports: $imports"
  for dll in $imports; do
    case "${dll,,}" in
      kernel32.dll|msvcrt.dll|gdi32.dll|user32.dll|advapi32.dll|shell32.dll|ole32.dll) ;;
      comctl32.dll|comdlg32.dll|gdiplus.dll|winspool.drv) ;;
      *) echo "$program.exe imports $dll, which Windows does not ship" >&2; exit 1 ;;
    esac
  done
done

step "tabulon-export.exe against the Linux tabulon-export, byte for byte"
[ -x "$linux_build/bin/tabulon-export" ] || cmake --build "$linux_build" --target tabulon-export -j "$jobs"
linux_export=$linux_build/bin/tabulon-export
work=$build/compare
rm -rf "$work"
mkdir -p "$work/jobs" "$work/linux" "$work/windows"
cp data/printlogo.jpg "$work/"
# Wine's own font setup, without the stand-ins the unit tests import below: there
# "HELVETICA" (the demo's Arial in style "N") falls back to Liberation Sans, the
# face fontconfig gives on Linux, so that both PDFs embed the same font.
quiet_wine reg delete 'HKCU\Software\Wine\Fonts\Replacements' /f || true
count=100
(cd "$work" && timeout -k 10 "$wine_limit" wine "$build/tests/windows/core_font_jobs.exe" "$count" jobs)
printf 'Bytes,P/*\r\ntxt,A,B,12,10,20,K/*CR LF line ends\r\ntxt,A,,12,10,30,K/*a \x1a b\r\n' >"$work/jobs/stdin.txt"

# Runs one exporter in the work folder: exporter NAME OPTIONS... (the job as the
# last option, or "<" and a file for standard input). Keeps the PDF, the exit
# status and the messages (without CRs) as OUTPUT_DIR/NAME.{pdf,status,errors}.
run_export() {
  local side=$1 name=$2
  shift 2
  local input=/dev/null
  local arguments=()
  while [ $# -gt 0 ]; do
    if [ "$1" = "<" ]; then input=$2; shift 2; else arguments+=("$1"); shift; fi
  done
  local command=("$linux_export")
  if [ "$side" = windows ]; then command=(timeout -k 10 "$wine_limit" wine "$exe"); fi
  local status=0
  (cd "$work" && SOURCE_DATE_EPOCH=0 "${command[@]}" "${arguments[@]}" -o "$side/$name.pdf" \
    <"$input" 2>"$side/$name.errors") || status=$?
  echo "$status" >"$work/$side/$name.status"
  sed -i 's/\r$//' "$work/$side/$name.errors"
}

for i in $(seq 1 "$count"); do
  options=()
  if [ $((i % 2)) = 0 ]; then options+=(--encoding cp1252); fi
  if [ $((i % 3)) = 0 ]; then options+=(--compress); fi
  for side in linux windows; do run_export "$side" "job-$i" "${options[@]}" "jobs/job-$i.txt"; done
done
for side in linux windows; do run_export "$side" stdin --encoding cp1252 "<" "$work/jobs/stdin.txt"; done

differences=0
for name in $(cd "$work/linux" && ls *.status | sed 's/\.status$//'); do
  for part in status errors pdf; do
    if ! cmp -s "$work/linux/$name.$part" "$work/windows/$name.$part"; then
      echo "   $name.$part differs (build-windows/compare/linux and windows)" >&2
      differences=$((differences + 1))
    fi
  done
done
if grep -l 'FontFile2' "$work"/linux/*.pdf >/dev/null 2>&1; then
  echo "   a generated job took a font from the system: $(grep -l FontFile2 "$work"/linux/*.pdf | head -1)" >&2
  differences=$((differences + 1))
fi
written=$(cat "$work"/windows/*.status | grep -c '^0$' || true)
echo "   $((count + 1)) jobs, $written written, $differences differences"

# The demo from the unpacked zip, started from another folder: its logo must come
# from beside the program, whose folder name is outside ASCII and outside
# Windows-1252.
unpacked="$work/Pr$(printf '\xc3\xb8')ve $(printf '\xce\x94')"
mkdir -p "$unpacked" "$work/demo"
zip=$(ls "$build"/tabulon-*-windows-x86_64.zip)
(cd "$unpacked" && cmake -E tar xf "$zip")
zip_exe=$(ls "$unpacked"/*/tabulon-export.exe)
(cd "$work/demo" && SOURCE_DATE_EPOCH=0 timeout -k 10 "$wine_limit" wine "$zip_exe" --demo)
mkdir -p "$work/demo-linux"
(cd "$work/demo-linux" && SOURCE_DATE_EPOCH=0 "$linux_export" --demo)
if ! cmp "$work/demo/My_doc.pdf" "$work/demo-linux/My_doc.pdf"; then differences=$((differences + 1)); fi
pages=$(pdfinfo "$work/demo/My_doc.pdf" | sed -n 's/^Pages: *//p')
rows=$(pdftotext "$work/demo/My_doc.pdf" - | grep -c 'Sales PC software' || true)
pictures=$(pdfimages -list "$work/demo/My_doc.pdf" | tail -n +3 | wc -l)
echo "   the demo from the zip: $pages pages, $rows rows, $pictures logos"
if [ "$pages" != 4 ] || [ "$rows" != 181 ] || [ "$pictures" != 4 ]; then differences=$((differences + 1)); fi

# --help says what the Windows build lacks; asking for it fails before any job is read.
help=$(timeout -k 10 "$wine_limit" wine "$exe" --help | tr -d '\r')
if ! grep -qx -- '--png and --print are not available in the Windows build yet.' <<<"$help"; then
  echo "   --help does not say that --png and --print are missing" >&2
  differences=$((differences + 1))
fi
for option in "--png pages" "--print Printer"; do
  status=0
  # shellcheck disable=SC2086
  message=$(cd "$work" && timeout -k 10 "$wine_limit" wine "$exe" $option 2>&1 </dev/null >/dev/null) || status=$?
  if [ "$status" != 1 ] || [ "$(tr -d '\r' <<<"$message")" != \
    "tabulon-export: --png and --print are not available in the Windows build yet." ]; then
    echo "   $option: exit $status, \"$message\"" >&2
    differences=$((differences + 1))
  fi
done
if [ "$differences" != 0 ]; then
  echo "$differences differences between the Windows and the Linux exporter" >&2
  exit 1
fi

step "unit tests under Wine (ctest)"
# Arial, Courier New and Times New Roman for GDI, which Wine lacks: the platform
# test asks for them by name.
quiet_wine regedit /S "$root/tests/windows/wine-font-replacements.reg"
timeout -k 10 900 ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 120 -L unit
step

#!/usr/bin/env bash
# Speed comparison of tabulon-export with libharu, cairo and Qt's QPdfWriter on the
# ledger workload. Builds the programs (Release), runs each of them for every page
# count in one run, several times, and prints a table of the median wall time, the
# peak memory and the output size, with each program's time and output size relative
# to ours (compressed rows to our compressed row, the others to our core-fonts row).
#
#   bench/peers/run.sh [--reps N] [--pages "100 1000 10000"] [--build DIR]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build="$root/build-bench"
reps=5
page_counts="100 1000 10000"

while [ $# -gt 0 ]; do
  case "$1" in
    --reps) reps="$2"; shift 2 ;;
    --pages) page_counts="$2"; shift 2 ;;
    --build) build="$2"; shift 2 ;;
    -h|--help) sed -n '2,7p' "$0"; exit 0 ;;
    *) echo "run.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done

echo "== build ($build, Release)"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTABULON_TESTS=OFF >/dev/null
targets=(ledger-job peer-hpdf peer-cairo peer-qt)
have_ours=0
if cmake --build "$build" --target help | grep -w tabulon-export >/dev/null; then
  targets+=(tabulon-export)
  have_ours=1
fi
if ! cmake --build "$build" -j 2 --target "${targets[@]}" >"$build/peers-build.log" 2>&1; then
  cat "$build/peers-build.log" >&2
  exit 1
fi

peers="$build/bench/peers"
ours=""
if [ "$have_ours" -eq 1 ]; then
  ours=$(find "$build" -type f -name tabulon-export -perm -u+x | head -n 1)
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tabulon-peers-XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$here/data/printlogo.jpg" "$work/printlogo.jpg"
mkdir -m 700 "$work/xdg"
export XDG_RUNTIME_DIR="$work/xdg" QT_QPA_PLATFORM=offscreen
cd "$work"

# The programs in table order: a label and the command, with PAGES standing for the
# page count.
labels=()
commands=()
if [ -n "$ours" ]; then
  labels+=("tabulon-export, core fonts" "tabulon-export, embedded font" "tabulon-export, core fonts, compressed")
  commands+=("$ours core-PAGES.job -o out.pdf" "$ours embedded-PAGES.job -o out.pdf"
    "$ours --compress core-PAGES.job -o out.pdf")
fi
labels+=("libharu" "libharu, compressed" "cairo" "QPdfWriter")
commands+=("$peers/peer-hpdf PAGES out.pdf" "$peers/peer-hpdf --compress PAGES out.pdf" "$peers/peer-cairo PAGES out.pdf"
  "$peers/peer-qt PAGES out.pdf")

results="$work/results.txt"
: >"$results"

# Runs one command; appends "pages label wall_ns peak_kB bytes pages_read" to results.
run_once() {
  local pages="$1" label="$2" command="$3" start end peak bytes read
  rm -f out.pdf
  start=$(date +%s%N)
  if ! /usr/bin/time -v -o time.txt $command >stdout.txt 2>stderr.txt; then
    echo "  $label failed on $pages pages:" >&2
    sed 's/^/    /' stderr.txt >&2
    echo "$pages|$label|failed|0|0|0" >>"$results"
    return
  fi
  end=$(date +%s%N)
  peak=$(awk -F': ' '/Maximum resident set size/ {print $2}' time.txt)
  bytes=$(stat -c %s out.pdf)
  read=$(pdfinfo out.pdf 2>/dev/null | awk '/^Pages:/ {print $2}')
  echo "$pages|$label|$((end - start))|$peak|$bytes|${read:-0}" >>"$results"
}

for pages in $page_counts; do
  echo "== $pages pages ($reps runs each)"
  "$peers/ledger-job" "$pages" "core-$pages.job"
  "$peers/ledger-job" "$pages" "embedded-$pages.job" --embedded
  for ((rep = 1; rep <= reps; rep++)); do
    for i in "${!labels[@]}"; do
      run_once "$pages" "${labels[$i]}" "${commands[$i]//PAGES/$pages}"
    done
  done
  rm -f "core-$pages.job" "embedded-$pages.job" out.pdf
done

# Median wall time per program and page count; peak memory is the largest seen,
# bytes and pages are those of the last run.
summary() {
  awk -F'|' -v ours="tabulon-export, core fonts" -v oursCompressed="tabulon-export, core fonts, compressed" '
    { key = $1 "|" $2
      if (!(key in seen)) { seen[key] = 1; order[++n] = key }
      if ($3 == "failed") { failed[key] = 1; next }
      times[key] = times[key] " " $3
      if ($4 > peak[key]) peak[key] = $4
      bytes[key] = $5; read[key] = $6 }
    function median(list,   v, m, i, j, t) {
      m = split(list, v, " ")
      for (i = 2; i <= m; i++) for (j = i; j > 1 && v[j-1] + 0 > v[j] + 0; j--) { t = v[j]; v[j] = v[j-1]; v[j-1] = t }
      return m % 2 ? v[(m + 1) / 2] : (v[m / 2] + v[m / 2 + 1]) / 2
    }
    END {
      for (k = 1; k <= n; k++) { key = order[k]; if (!(key in failed)) med[key] = median(times[key]) }
      printf "| pages | program | median s | peak MiB | output MB | time / ours | output / ours |\n"
      printf "|---:|---|---:|---:|---:|---:|---:|\n"
      for (k = 1; k <= n; k++) {
        key = order[k]; split(key, part, "|")
        if (key in failed) { printf "| %s | %s | failed | | | | |\n", part[1], part[2]; continue }
        base = part[1] "|" (part[2] ~ /compressed/ ? oursCompressed : ours)
        ratio = (base in med && med[base] > 0) ? sprintf("%.2f", med[key] / med[base]) : "-"
        size = (base in bytes && bytes[base] > 0) ? sprintf("%.2f", bytes[key] / bytes[base]) : "-"
        note = (read[key] == part[1]) ? "" : sprintf(" (pdfinfo reads %s pages)", read[key])
        printf "| %s | %s%s | %.3f | %.1f | %.2f | %s | %s |\n", part[1], part[2], note, med[key] / 1e9,
               peak[key] / 1024, bytes[key] / 1e6, ratio, size
      }
    }' "$results"
}

echo
echo "Ledger workload, $reps runs per cell, $(nproc) cores: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "libharu $(dpkg-query -W -f='${Version}' libhpdf-dev), cairo $(dpkg-query -W -f='${Version}' libcairo2-dev)," \
  "Qt $(dpkg-query -W -f='${Version}' qt6-base-dev); cairo and QPdfWriter use $(fc-match -f '%{family}' Helvetica)" \
  "(embedded subset) and compress their streams, which neither lets a caller switch off."
echo
summary
if [ -z "$ours" ]; then
  echo
  echo "NOTE: tabulon-export is not built in this tree yet, so our rows and the ratio column are missing."
fi

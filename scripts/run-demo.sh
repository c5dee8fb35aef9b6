#!/usr/bin/env bash
# Runs the demo. On a desktop: tabulon-demo hands its job to tabulon, which shows
# it in the preview window (F6 writes out/demo/My_doc.pdf, F4 prints, Escape
# quits). Without a display: the same job is exported headless, as a PDF and as
# pictures of the preview's pages, and the script says where they are.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
out=$(pwd)/out/demo
mkdir -p "$out"
# The demo's job names its logo without a folder; tabulon runs in $out.
cp data/printlogo.jpg "$out/"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$build/demo/tabulon-demo" ]; then
  (cd "$out" && "$build/demo/tabulon-demo")
  echo "run-demo: the preview is open; F6 writes $out/My_doc.pdf, F4 prints, Escape quits"
  exit 0
fi
(cd "$out" && "$build/export/tabulon-export" --demo -o "$out/My_doc.pdf")
if [ -x "$build/demo/tabulon-demo" ]; then
  (cd "$out" && "$build/export/tabulon-export" --demo --png "$out/pages")
  echo "run-demo: no display; the preview's pages are pictures in $out/pages (page-1.png ...)"
fi
echo "run-demo: no display; the demo job is exported as $out/My_doc.pdf"

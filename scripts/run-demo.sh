#!/usr/bin/env bash
# Runs the demo headless: exports the demo's job with tabulon-export into out/demo/,
# next to the logo picture the job names, and says where the PDF is.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=out/demo
mkdir -p "$out"
cp data/printlogo.jpg "$out/printlogo.jpg"
exporter=$(realpath "$build/export/tabulon-export")
(cd "$out" && "$exporter" --demo)
echo "run-demo: wrote $(realpath "$out/My_doc.pdf")"

#!/usr/bin/env bash
# Writes tests/golden/demo_my_doc.pdf anew from the build's tabulon-export, after a
# change to the demo's PDF that is meant. Check the new file before committing it:
# qpdf --check, pdfinfo (4 pages) and pdftotext.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp data/printlogo.jpg "$work/"
exporter=$(realpath "$build/export/tabulon-export")
(cd "$work" && SOURCE_DATE_EPOCH=0 "$exporter" --demo)
mkdir -p tests/golden
cp "$work/My_doc.pdf" tests/golden/demo_my_doc.pdf
qpdf --check tests/golden/demo_my_doc.pdf | tail -1
pdfinfo tests/golden/demo_my_doc.pdf | grep Pages

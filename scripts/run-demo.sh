#!/usr/bin/env bash
# Runs the main job: for now, writes a sample PDF with the writer.
set -euo pipefail
build=${1:-build}
"$build/export/tabulon-sample" "${TMPDIR:-/tmp}/tabulon-sample.pdf"

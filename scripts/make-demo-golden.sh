#!/usr/bin/env bash
# Writes tests/golden/demo_my_doc.pdf anew, after a change to the demo's PDF that is
# meant: the golden test exports the demo (SOURCE_DATE_EPOCH=0, the committed test
# font for every font request) and, with TABULON_WRITE_GOLDEN=1, keeps what it wrote.
# Check the new file before committing it (the other golden tests run qpdf, pdfinfo
# and pdftotext on it).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target export_tests -j2
mkdir -p tests/golden
TABULON_WRITE_GOLDEN=1 "$build/tests/export/export_tests" --gtest_filter='DemoGolden.*'

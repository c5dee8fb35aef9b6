#!/usr/bin/env bash
# Renders every placeable metafile sample twice, through our PDF form (pdftoppm)
# and through ImageMagick's own WMF reader, and puts the two side by side (ours on
# the left) in tests/data/images/wmf/compare/NAME.png for comparison by eye.
# Needs a build in build/ (image_tests), poppler-utils and ImageMagick with its
# WMF delegate (libmagickcore-6.q16-6-extra).
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
TMPDIR="$work" ./build/tests/pdf/images/image_tests --gtest_filter='MetafileSamples.*' >/dev/null
pdfs=$(ls -d "$work"/tabulon-test-*)
out=tests/data/images/wmf/compare
mkdir -p "$out"
for pdf in "$pdfs"/*.wmf.pdf; do
  name=$(basename "$pdf" .pdf)
  pdftoppm -r 72 -png -singlefile "$pdf" "$work/ours"
  /usr/bin/convert "$work/ours.png" -shave 20x20 "$work/ours-cut.png"
  width=$(/usr/bin/identify -format '%w' "$work/ours-cut.png")
  /usr/bin/convert "tests/data/images/wmf/$name" -background white -flatten -resize "${width}x" "$work/im.png" 2>/dev/null || \
    /usr/bin/convert -size "${width}x20" xc:white "$work/im.png"
  /usr/bin/convert "$work/ours-cut.png" "$work/im.png" -bordercolor '#888' -border 1 +append "$out/${name%.wmf}.png"
done
rm -rf "$work"
echo "compare-wmf: pictures in $out"

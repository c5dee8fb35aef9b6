#!/usr/bin/env bash
# Writes the seeds of the picture_decoder fuzz corpus with ImageMagick and
# jpegtran (Debian packages imagemagick, libjpeg-turbo-progs): one small
# picture (13 x 7 pixels, so that blocks and rows end inside the picture)
# stored in each JPEG process and each PNG colour type, bit depth and layout the
# decoders must handle. Metadata and time stamps are stripped, so a second run
# writes the same bytes.
#   fuzz/tools/make_picture_seeds.sh CORPUS_DIR
set -euo pipefail
out=${1:?usage: make_picture_seeds.sh CORPUS_DIR}
mkdir -p "$out"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# A gradient with a sharp-edged square and a half-transparent band: colour,
# edges and alpha for every format to carry.
base="$scratch/base.png"
convert -size 13x7 'gradient:#c04020-#2060e0' \
  -fill '#30c050' -draw 'rectangle 3,1 8,4' \
  \( +clone -alpha extract -fill gray50 -draw 'rectangle 0,5 12,6' \) -alpha off -compose copy_opacity -composite \
  -strip "$base"

jpeg() {  # NAME OPTION...
  local name=$1
  shift
  convert "$base" -background white -alpha remove -alpha off "$@" -strip "$out/gen-$name.jpg"
}
jpeg baseline-420 -quality 75 -sampling-factor 2x2
jpeg baseline-422 -quality 75 -sampling-factor 2x1
jpeg baseline-444 -quality 90 -sampling-factor 1x1
jpeg baseline-444-unoptimized -quality 90 -sampling-factor 1x1 -define jpeg:optimize-coding=false
jpeg progressive-420 -quality 75 -interlace JPEG
jpeg progressive-grey -colorspace Gray -interlace JPEG
jpeg baseline-grey -colorspace Gray
jpeg baseline-cmyk -colorspace CMYK
jpeg progressive-cmyk -colorspace CMYK -interlace JPEG
# Entropy coding and restart markers rewritten losslessly from the baseline file.
recode() {  # NAME JPEGTRAN-OPTION...
  local name=$1
  shift
  jpegtran -copy none "$@" -outfile "$out/gen-$name.jpg" "$out/gen-baseline-420.jpg"
}
recode restart-every-mcu -restart 1B
recode progressive-restart-every-2-rows -progressive -restart 2
recode arithmetic -arithmetic
recode arithmetic-progressive -arithmetic -progressive

png() {  # NAME OPTION...
  local name=$1
  shift
  convert "$base" "$@" -define png:exclude-chunks=date,time -strip "$out/gen-$name.png"
}
# Grey (colour type 0) at every bit depth, plain and interlaced.
for depth in 1 2 4 8 16; do
  png "grey-$depth" -alpha off -colorspace Gray -define png:color-type=0 -define png:bit-depth="$depth"
done
png grey-4-interlaced -alpha off -colorspace Gray -define png:color-type=0 -define png:bit-depth=4 -interlace PNG
# Truecolour (2), palette (3) with and without transparency, grey with alpha (4),
# truecolour with alpha (6).
png rgb-8 -alpha off -define png:color-type=2 -define png:bit-depth=8
png rgb-16-interlaced -alpha off -define png:color-type=2 -define png:bit-depth=16 -interlace PNG
png rgb-8-trns -alpha off -transparent '#30c050' -define png:color-type=2 -define png:bit-depth=8
for depth in 1 2 4 8; do
  png "palette-$depth" -alpha off -colors $((1 << depth)) -define png:color-type=3 -define png:bit-depth="$depth"
done
# Palette with a transparency entry; one also keeps the gamma, chromaticity and
# background chunks the writer adds.
convert "$base" -colors 16 -strip PNG8:"$out/gen-palette-8-trns.png"
convert "$base" -colors 8 -define png:bit-depth=4 -interlace PNG -define png:exclude-chunks=date,time,text \
  PNG8:"$out/gen-palette-4-trns-interlaced-gama-chrm-bkgd.png"
png grey-alpha-8 -colorspace Gray -define png:color-type=4 -define png:bit-depth=8
png grey-alpha-16 -colorspace Gray -define png:color-type=4 -define png:bit-depth=16
png rgba-8 -define png:color-type=6 -define png:bit-depth=8
png rgba-16-interlaced -define png:color-type=6 -define png:bit-depth=16 -interlace PNG

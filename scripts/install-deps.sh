#!/usr/bin/env bash
# Installs the Debian packages Tabulon needs to build, test and run, and only those
# that are missing. Safe to run again; does nothing when everything is present.
set -euo pipefail

packages=(
  # toolchain and test frameworks
  build-essential cmake pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  # libraries the programs link against
  qt6-base-dev libjpeg62-turbo-dev libpng-dev zlib1g-dev libdeflate-dev
  libfontconfig-dev libfreetype-dev
  # fonts the writer embeds and the tests compare against
  fontconfig fonts-liberation fonts-dejavu-core
  # PDF readers that check what the tests write; ImageMagick's WMF and JPEG 2000
  # readers for the picture comparisons
  libmagickcore-6.q16-6-extra
  qpdf poppler-utils mupdf-tools
  # the desktop tests: a bare X server, input, screenshots, printing
  xvfb xauth xdotool x11-apps libx11-dev imagemagick cups cups-client cups-bsd printer-driver-cups-pdf ghostscript
  # the speed comparison with other PDF libraries
  libhpdf-dev libcairo2-dev
  # time -v for peak memory; a comma-decimal locale for the formatter tests
  time locales
  # the manual pages' check; building the Debian package (dpkg-shlibdeps, and
  # file, which CPack uses to find the programs among the installed files)
  man-db dpkg-dev file
  # the Windows build (mingw-w64 with POSIX threads, zlib for it) and its tests
  # under Wine (Wine's own fonts; GDI finds fonts-liberation's through fontconfig)
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64 fonts-wine
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

ensure_locale() {
  # The number formatter is also tested under a comma-decimal locale.
  if ! locale -a 2>/dev/null | grep -qi '^fr_FR\.utf-\?8$'; then
    $sudo sed -i 's/^# *\(fr_FR.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^fr_FR.UTF-8 UTF-8' /etc/locale.gen || echo 'fr_FR.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
  fi
}

# The fuzz build compiles the picture libraries (libjpeg-turbo, libpng, zlib) from
# Debian's own sources with the fuzzer's instrumentation, fetched by `apt-get
# source`: source entries beside the binary ones, for the same mirrors.
ensure_source_entries() {
  if grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return 1
  fi
  local from
  for from in /etc/apt/sources.list.d/*.sources; do
    grep -qs '^URIs:.*debian' "$from" || continue
    sed 's/^Types: deb$/Types: deb-src/' "$from" | $sudo tee "/etc/apt/sources.list.d/tabulon-src-$(basename "$from")" >/dev/null
  done
  if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb \(.*debian\)/deb-src \1/p' /etc/apt/sources.list | $sudo tee /etc/apt/sources.list.d/tabulon-src.list >/dev/null
  fi
  return 0
}

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

if ensure_source_entries && [ ${#missing[@]} -eq 0 ]; then
  $sudo apt-get update -qq
fi

if [ ${#missing[@]} -eq 0 ]; then
  ensure_locale
  echo "install-deps: every package is present"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
ensure_locale

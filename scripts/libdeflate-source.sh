#!/usr/bin/env bash
# Fetches libdeflate's Debian source package into DIR (once) and prints the path of
# its unpacked tree, for builds whose system has no libdeflate to link (the Windows
# cross build compiles its few C files). The version is the one of the installed
# libdeflate-dev when there is one, so that both builds deflate alike, byte for byte.
#   scripts/libdeflate-source.sh DIR
set -euo pipefail
dir=${1:?usage: libdeflate-source.sh DIR}
mkdir -p "$dir"
cd "$dir"
found() { find . -maxdepth 2 -name libdeflate.h -path './libdeflate-*/libdeflate.h' | head -n 1; }
if [ -z "$(found)" ]; then
  package=libdeflate
  version=$(dpkg-query -W -f='${Version}' libdeflate-dev 2>/dev/null || true)
  if [ -n "$version" ]; then package="libdeflate=$version"; fi
  if ! apt-get source -qq "$package" >apt-source.log 2>&1; then
    cat apt-source.log >&2
    echo "libdeflate-source.sh: could not fetch $package's sources (apt-get source needs deb-src entries and dpkg-dev)" >&2
    exit 1
  fi
fi
header=$(found)
[ -n "$header" ] || { echo "libdeflate-source.sh: no libdeflate tree in $dir" >&2; exit 1; }
realpath "$(dirname "$header")"

#!/usr/bin/env bash
# Builds the picture libraries the preview decodes with (libjpeg-turbo, libpng and
# the zlib under it) from Debian's own sources, with coverage for libFuzzer and
# under AddressSanitizer and UndefinedBehaviorSanitizer, so that the
# picture_decoder harness sees and checks their branches too.
#   scripts/fuzz-libraries.sh BUILD_DIR
# Static libraries and headers land in BUILD_DIR/libs/prefix/; a second run finds
# them there and does nothing. Needs source entries for apt (install-deps.sh adds
# them) and clang. Exits non-zero, saying why, when the sources cannot be had.
set -euo pipefail
build=$(realpath -m "${1:?usage: fuzz-libraries.sh BUILD_DIR}")
root="$build/libs"
prefix="$root/prefix"
flags="-g -O1 -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
# What the libraries were built from and with: the installed versions (whose
# sources are fetched first) and the flags. A change rebuilds them.
stamp="$prefix/built-with"
identity="$flags $(dpkg-query -W -f='${Version} ' zlib1g libpng16-16 libjpeg62-turbo 2>/dev/null || true)"

if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$identity" ]; then
  exit 0
fi
rm -rf "$root"
mkdir -p "$root/src" "$prefix/include" "$prefix/lib"

# apt-get source unpacks a package with its Debian patches applied. The version
# of the installed library comes first; when a mirror no longer serves it, the
# others it lists, newest first.
fetch_source() {
  local package=$1 binary=$2 version
  local versions
  versions=$( (dpkg-query -W -f='${source:Version}\n' "$binary" 2>/dev/null || true
    apt-cache showsrc "$package" 2>/dev/null | sed -n 's/^Version: //p' | sort -u -r -V) | awk 'NF && !seen[$0]++')
  for version in $versions; do
    if (cd "$root/src" && apt-get source -qq "$package=$version" >>"$root/source.log" 2>&1); then
      return 0
    fi
  done
  echo "fuzz-libraries: no source of $package could be fetched (are there deb-src entries?" \
    "scripts/install-deps.sh adds them):" >&2
  tail -3 "$root/source.log" >&2
  return 1
}
fetch_source zlib zlib1g
fetch_source libpng1.6 libpng16-16
fetch_source libjpeg-turbo libjpeg62-turbo
source_of() { find "$root/src" -maxdepth 1 -mindepth 1 -type d -name "$1-*" | head -1; }
jpeg_src=$(source_of libjpeg-turbo)
png_src=$(source_of libpng1.6)
zlib_src=$(source_of zlib)

export CC=clang
jobs=$(nproc)
configure() {
  cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE="$flags" \
    -DCMAKE_POSITION_INDEPENDENT_CODE=ON "${@:3}" >"$2.log" 2>&1 || { tail -20 "$2.log" >&2; exit 1; }
}

make_target() {
  cmake --build "$1" -j "$jobs" --target "$2" >>"$1.log" 2>&1 || { tail -20 "$1.log" >&2; exit 1; }
}

echo "fuzz-libraries: building $(basename "$zlib_src"), $(basename "$png_src"), $(basename "$jpeg_src") instrumented"
(cd "$zlib_src" && CFLAGS="$flags" ./configure --static && make -j "$jobs" libz.a) >"$root/zlib.log" 2>&1 ||
  { tail -20 "$root/zlib.log" >&2; exit 1; }
cp "$zlib_src/libz.a" "$prefix/lib/"
cp "$zlib_src/zlib.h" "$zlib_src/zconf.h" "$prefix/include/"

configure "$png_src" "$root/png" -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_HARDWARE_OPTIMIZATIONS=OFF \
  -DZLIB_INCLUDE_DIR="$prefix/include" -DZLIB_LIBRARY="$prefix/lib/libz.a"
make_target "$root/png" png_static
cp "$root/png/libpng16.a" "$prefix/lib/"
cp "$png_src/png.h" "$png_src/pngconf.h" "$root/png/pnglibconf.h" "$prefix/include/"

# The SIMD paths are assembly the fuzzer cannot see into; the C paths it can.
configure "$jpeg_src" "$root/jpeg" -DENABLE_SHARED=OFF -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF
make_target "$root/jpeg" jpeg-static
cp "$root/jpeg/libjpeg.a" "$prefix/lib/"
cp "$jpeg_src/jpeglib.h" "$jpeg_src/jerror.h" "$jpeg_src/jmorecfg.h" "$root/jpeg/jconfig.h" "$prefix/include/"

echo "$identity" >"$stamp"

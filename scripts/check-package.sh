#!/usr/bin/env bash
# Builds the Debian package, installs it the way a user would, and checks what
# the installed programs do on their own: the demo's PDF from an empty folder
# (so its logo must come from /usr/share/tabulon), the manual page, and that
# removing the package takes the programs away again. Needs root or sudo; the
# package is removed again however the checks end.
# Usage: scripts/check-package.sh [BUILD]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

fail() {
  echo "check-package: $*" >&2
  exit 1
}

rm -f "$build"/tabulon_*.deb
make deb BUILD="$build"
debs=("$build"/tabulon_*.deb)
[ -f "${debs[0]}" ] && [ ${#debs[@]} -eq 1 ] || fail "make deb left no single $build/tabulon_*.deb"
deb=$(realpath "${debs[0]}")

# The package holds the programs, the companion, the logo and the manual pages,
# and nothing else (no test programs, no benchmarks).
expected="/usr/bin/tabulon
/usr/bin/tabulon-demo
/usr/bin/tabulon-export
/usr/libexec/tabulon/tabulon-export-desktop
/usr/share/man/man1/tabulon-demo.1.gz
/usr/share/man/man1/tabulon-export.1.gz
/usr/share/man/man1/tabulon.1.gz
/usr/share/tabulon/printlogo.jpg"
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' | sort)
[ "$files" = "$expected" ] || fail "the package holds:
$files
instead of:
$expected"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6gui6' || fail "the package's Depends lacks the Qt libraries"

work=$(mktemp -d)
cleanup() {
  rm -rf "$work"
  if dpkg-query -W -f='${Status}' tabulon 2>/dev/null | grep -q 'install ok installed'; then
    $sudo apt-get remove -y -qq tabulon >/dev/null
  fi
}
trap cleanup EXIT

# Recommended packages (the desktop's viewer) play no part in these checks and
# would stay behind after the removal.
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get install -y -qq --no-install-recommends "$deb"

(cd "$work" && /usr/bin/tabulon-export --demo) || fail "tabulon-export --demo failed"
pdf=$work/My_doc.pdf
qpdf --check "$pdf" >/dev/null || fail "qpdf --check rejects $pdf"
grep -aqE '/Subtype ?/Image' "$pdf" || fail "the demo's PDF has no image XObject (logo from /usr/share/tabulon)"
# The logo is one picture, shown at the head of every page: one object ID.
images=$(pdfimages -list "$pdf" | tail -n +3 | awk '{ print $11, $12 }' | sort -u | wc -l)
[ "$images" -eq 1 ] || fail "pdfimages lists $images different pictures in the demo's PDF, not 1"

# A system configured to drop manual pages on install (path-exclude in dpkg's
# configuration, as minimal container images are) cannot find one.
if grep -qs '^path-exclude=/usr/share/man' /etc/dpkg/dpkg.cfg.d/*; then
  echo "check-package: dpkg drops manual pages on this system; man -w not checked"
else
  [ "$(man -w tabulon-export)" = /usr/share/man/man1/tabulon-export.1.gz ] || fail "man -w does not find tabulon-export"
fi

$sudo apt-get remove -y -qq tabulon >/dev/null
[ ! -e /usr/bin/tabulon-export ] || fail "/usr/bin/tabulon-export is still there after the removal"
[ ! -e /usr/libexec/tabulon ] || fail "/usr/libexec/tabulon is still there after the removal"
echo "check-package: $(basename "$deb") installs, exports the demo with its logo, has its manual page and removes cleanly"

#!/bin/sh
# Runs a program of the Windows build under Wine: the build's generators, the
# tests' discovery and the tests themselves. Wine's own messages are off, the
# prefix is the caller's WINEPREFIX (`make windows` and scripts/windows-tests.sh
# use build-windows/wine-prefix), and a program that hangs is ended after
# TABULON_WINE_TIMEOUT seconds (default 300).
export WINEDEBUG="${WINEDEBUG:--all}"
# No prompts for Wine's .NET and HTML add-ons when a prefix is made.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES-mscoree,mshtml=}"
exec timeout -k 10 "${TABULON_WINE_TIMEOUT:-300}" wine "$@"

#!/usr/bin/env bash
# Makes a fresh Wine prefix in PREFIX, with none of Wine's add-ons offered (nothing here
# needs them, and their dialog would wait for a person), and with Windows 2000's classic
# look: no visual theme and the classic system colours.
# Usage: make_prefix.sh PREFIX
set -euo pipefail
rm -rf "$1"
export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
env -u DISPLAY wineboot --init
env -u DISPLAY wine regedit /S "$(dirname "$0")/classic_desktop.reg"
wineserver --wait

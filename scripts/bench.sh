#!/usr/bin/env bash
# Prints Kestrave's speed and memory figures beside their references, measured in one run
# under Wine on this machine. Figures only: nothing passes or fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh >/dev/null
bash scripts/build.sh windows >/dev/null
source scripts/wine-env.sh
unset WINEPREFIX
kestrave_wine_up --xvfb
trap kestrave_wine_down EXIT
wineserver -p
exe=build/windows/Kestrave.exe
printf '%-58s %14s\n' "Kestrave.exe size" "$(stat -c %s $exe) bytes"
printf '%-58s %s\n' "Kestrave.exe imports" "$(x86_64-w64-mingw32-objdump -p $exe | awk '/DLL Name:/ {printf "%s ", $3}')"
wine build/windows/kestrave_bench.exe

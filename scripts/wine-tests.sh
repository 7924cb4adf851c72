#!/usr/bin/env bash
# Runs the Windows test program under Wine, in a throwaway prefix, under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-env.sh
unset WINEPREFIX
kestrave_wine_up --xvfb
trap kestrave_wine_down EXIT
# The tests start and stop Wine's spooler; keep the server alive between them.
wineserver -p
wine build/windows/kestrave_wine_tests.exe "$@"

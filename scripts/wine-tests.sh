#!/usr/bin/env bash
# Runs the Windows test program under Wine, in a throwaway prefix, under Xvfb, with a local
# CUPS whose queues Wine lists as its printers.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-env.sh
source scripts/cups-env.sh
unset WINEPREFIX
cleanup() {
    kestrave_wine_down
    kestrave_cups_down
}
trap cleanup EXIT
kestrave_cups_up
kestrave_wine_up --xvfb
# The tests start and stop Wine's spooler; keep the server alive between them.
wineserver -p
wine build/windows/kestrave_wine_tests.exe "$@"

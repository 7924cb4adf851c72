#!/usr/bin/env bash
# Runs the Windows test program under Wine, in a throwaway prefix, under Xvfb, with a local
# CUPS whose queues Wine lists as its printers.
set -euo pipefail
# A failing step says which one it was, not just the exit code.
trap 'echo "${0##*/}: failed at line $LINENO: $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."
source scripts/test-world.sh
kestrave_test_world_up
wine build/windows/kestrave_wine_tests.exe "$@"

#!/usr/bin/env bash
# Acceptance: the black-box driver works the shipped Kestrave.exe under Wine, soaks it and
# runs it into faults. Screenshots of what it saw go to build/driver-shots (PNG).
# Options pass through: --cycles N (repair/disable cycles), --refreshes N.
set -euo pipefail
# A failing step says which one it was, not just the exit code.
trap 'echo "${0##*/}: failed at line $LINENO: $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."
source scripts/test-world.sh
kestrave_test_world_up
shots="$PWD/build/driver-shots"
rm -rf "$shots"
mkdir -p "$shots"
status=0
wine build/windows/kestrave_driver.exe "$(winepath -w build/windows/Kestrave.exe)" \
    --shots "$(winepath -w "$shots")" "$@" || status=$?
# The 32-bit program, where Wine can run it (wine32): its window and its command line.
if [ -e /usr/lib/wine/i386-windows/kernel32.dll ] || dpkg -s wine32:i386 >/dev/null 2>&1; then
    echo "drive: the 32-bit program"
    mkdir -p "$shots/x86"
    wine build/windows/kestrave_driver.exe "$(winepath -w build/windows-x86/Kestrave.exe)" \
        --shots "$(winepath -w "$shots/x86")" --basic || status=$?
fi
for f in "$shots"/*.bmp "$shots"/x86/*.bmp; do
    [ -e "$f" ] && convert "$f" "${f%.bmp}.png" && rm -f "$f"
done
exit $status

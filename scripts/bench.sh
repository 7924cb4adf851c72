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
# "bash scripts/bench.sh --large" also repairs a queue of 50,000 files (long under Wine).
[ "${KESTRAVE_IDLE_ONLY:-0}" = 1 ] || wine build/windows/kestrave_bench.exe "$@"

# The open window's idle cost: processor time over a while (program + wineserver + Wine's
# services.exe, read from /proc) against a bare loop that makes the same service-manager
# reads each second, both with the spooler running, one after the other in this run.
# KESTRAVE_IDLE_ONLY=1 measures only this.
idle_seconds=${KESTRAVE_IDLE_SECONDS:-40}
ticks() { # the summed user+system clock ticks of the processes whose command line matches
    local total=0 pid
    for pid in $(pgrep -f "$1" || true); do
        [ -r "/proc/$pid/stat" ] || continue
        total=$((total + $(awk '{print $14 + $15}' "/proc/$pid/stat")))
    done
    echo $total
}
idle_cost() { # program-pattern command... -> ticks over idle_seconds
    local pattern=$1; shift
    "$@" >/dev/null 2>&1 &
    local runner=$!
    sleep 3 # past the start-up
    # The pointer away from the window: Wine follows a pointer resting on a themed button by
    # polling it (a hundred hit tests a second), which Windows does not.
    xdotool mousemove 0 0
    local a b
    a=$(( $(ticks "$pattern") + $(ticks '^wineserver') + $(ticks 'services.exe') ))
    sleep "$idle_seconds"
    b=$(( $(ticks "$pattern") + $(ticks '^wineserver') + $(ticks 'services.exe') ))
    echo $((b - a))
    pkill -f "$pattern" 2>/dev/null || true
    wait "$runner" 2>/dev/null || true
}
wine build/windows/kestrave_bench.exe --spooler running
window=$(idle_cost 'Kestrave.exe' wine "$exe")
bare=$(idle_cost 'kestrave_bench.exe --bare-loop' wine build/windows/kestrave_bench.exe --bare-loop $((idle_seconds + 6)))
hz=$(getconf CLK_TCK)
awk -v w="$window" -v b="$bare" -v hz="$hz" -v s="$idle_seconds" 'BEGIN {
    printf "%-58s %11.2f s  %11.2f s\n", "CPU over " s " s, open window / bare reading loop", w / hz, b / hz
    printf "%-58s %14.2f\n", "idle cost ratio (target <= 1.2)", w / (b > 0 ? b : 1)
}'

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
# The release files, as an administrator downloads them (the x64 program's target: 655,360).
[ -f dist/SHA256SUMS ] || bash scripts/release.sh >/dev/null
for f in $(awk '{print $2}' dist/SHA256SUMS); do
    printf '%-58s %14s\n' "release: $f" "$(stat -c %s "dist/$f") bytes"
done
for program in $exe build/windows/Kestrave.com; do
    printf '%-58s %s\n' "${program##*/} imports" "$(x86_64-w64-mingw32-objdump -p $program | awk '/DLL Name:/ {printf "%s ", $3}')"
done
# "bash scripts/bench.sh --large" also repairs a queue of 50,000 files (long under Wine).
[ "${KESTRAVE_IDLE_ONLY:-0}" = 1 ] || wine build/windows/kestrave_bench.exe "$@"
# "bash scripts/bench.sh --startup-only": the start-up figures and its timeline, nothing else;
# "--keep-only": a repair that keeps beside one that deletes, and a move across file systems;
# "--console-only": the console twin beside a bare console program.
case "${*: -1}" in --startup-only | --keep-only | --console-only) exit 0 ;; esac

# The open window's idle cost: processor time over a while (the program, and this prefix's own
# wineserver and services.exe, read from /proc) against a bare loop that makes the same
# service-manager reads each second, with the spooler running: once in a freshly opened window,
# once after a repair that changed the start type (its outcome line shown), each beside the
# bare loop measured right after it. KESTRAVE_IDLE_ONLY=1 measures only this.
idle_seconds=${KESTRAVE_IDLE_SECONDS:-40}
prefix_pids() { # the processes of this prefix whose command line matches
    local pid
    for pid in $(pgrep -f "$1" || true); do
        tr '\0' '\n' < "/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" &&
            echo "$pid"
    done
}
ticks() { # the summed user+system clock ticks of those processes
    local total=0 pid
    for pid in $(prefix_pids "$1"); do
        [ -r "/proc/$pid/stat" ] || continue
        total=$((total + $(awk '{print $14 + $15}' "/proc/$pid/stat")))
    done
    echo $total
}
idle_cost() { # pattern setup command... -> ticks over idle_seconds
    local pattern=$1 setup=$2; shift 2
    "$@" >/dev/null 2>&1 &
    local runner=$!
    sleep 3 # past the start-up
    [ -z "$setup" ] || wine build/windows/kestrave_bench.exe "$setup" >/dev/null 2>&1 ||
        echo "bench: $setup did not complete; the figure is of a window without it" >&2
    # The pointer away from the window: Wine follows a pointer resting on a themed button by
    # polling it (a hundred hit tests a second), which Windows does not.
    xdotool mousemove 0 0
    local a b
    a=$(( $(ticks "$pattern") + $(ticks '^wineserver') + $(ticks 'services.exe') ))
    sleep "$idle_seconds"
    b=$(( $(ticks "$pattern") + $(ticks '^wineserver') + $(ticks 'services.exe') ))
    echo $((b - a))
    # Only what this started, by its id: any other Kestrave on the machine is left alone.
    kill "$runner" 2>/dev/null || true
    wait "$runner" 2>/dev/null || true
}
hz=$(getconf CLK_TCK)
for state in fresh repaired; do
    wine build/windows/kestrave_bench.exe --spooler running
    setup=""
    label="open window"
    if [ "$state" = repaired ]; then
        setup="--click-repair"
        label="window after a repair"
    fi
    window=$(idle_cost 'Kestrave.exe' "$setup" wine "$exe")
    bare=$(idle_cost 'kestrave_bench.exe --bare-loop' "" wine build/windows/kestrave_bench.exe --bare-loop $((idle_seconds + 6)))
    awk -v w="$window" -v b="$bare" -v hz="$hz" -v s="$idle_seconds" -v l="$label" 'BEGIN {
        printf "%-58s %11.2f s  %11.2f s\n", "CPU over " s " s, " l " / bare reading loop", w / hz, b / hz
        printf "%-58s %14.2f\n", "  idle cost ratio (target <= 1.2)", w / (b > 0 ? b : 1)
    }'
done

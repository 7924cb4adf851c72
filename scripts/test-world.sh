# Sourced by the scripts that test under Wine: a local CUPS with the queues the printer tests
# expect, and the throwaway Wine prefix of wine-env.sh.
#   kestrave_test_world_up      both, torn down when the script exits
#   kestrave_cups_up / kestrave_cups_down
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

KESTRAVE_CUPSD_PID=""
KESTRAVE_QUEUES=(KestraveA KestraveB "打印机二")

# lpstat -r exits 0 whether or not the scheduler runs: only its answer tells.
kestrave_cups_running() {
    [ "$(LC_ALL=C LANGUAGE= lpstat -r 2>/dev/null)" = "scheduler is running" ]
}

kestrave_cups_up() {
    if ! kestrave_cups_running; then
        # Only on this machine: the default configuration listens on localhost and a socket.
        cupsd -f >/dev/null 2>&1 &
        KESTRAVE_CUPSD_PID=$!
        for _ in $(seq 100); do kestrave_cups_running && break; sleep 0.1; done
        kestrave_cups_running || { echo "cups: the scheduler did not start" >&2; return 1; }
    fi
    local q
    for q in "${KESTRAVE_QUEUES[@]}"; do
        LC_ALL=C lpadmin -p "$q" -E -v file:///dev/null -m raw
    done
    LC_ALL=C lpadmin -d KestraveA
}

kestrave_cups_down() {
    local q
    for q in "${KESTRAVE_QUEUES[@]}"; do
        lpadmin -x "$q" 2>/dev/null || true
    done
    if [ -n "$KESTRAVE_CUPSD_PID" ]; then
        kill "$KESTRAVE_CUPSD_PID" 2>/dev/null || true
        wait "$KESTRAVE_CUPSD_PID" 2>/dev/null || true
    fi
}

# The whole test world: CUPS queues, a throwaway Wine prefix under Xvfb, a wineserver kept
# alive between programs (the tests start and stop Wine's spooler); torn down on exit.
kestrave_test_world_up() {
    unset WINEPREFIX
    trap 'kestrave_wine_down; kestrave_cups_down' EXIT
    kestrave_cups_up
    kestrave_wine_up --xvfb
    wineserver -p
}

#!/usr/bin/env bash
# Sets up, builds every preset and runs every test: native unit tests (and once more under
# valgrind), then the Windows test program and the acceptance checks under Wine, then the
# release. Each stage's time is printed at the end.
set -euo pipefail
# A failing step says which one it was, not just the exit code.
trap 'echo "${0##*/}: failed at line $LINENO: $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."
started=$(date +%s)
times=()
stage() { # stage NAME COMMAND...: runs it, and notes how long it took
    local name="$1" t0
    shift
    t0=$(date +%s)
    "$@"
    times+=("$(printf '%5d s  %s' "$(($(date +%s) - t0))" "$name")")
}
checkImports() {
    for program in build/windows{,-x86}/Kestrave.{exe,com}; do
        bash scripts/check-imports.sh "$program"
    done
}
# The unit tests once more under valgrind: no invalid access, no leak. (glibc's AVX2 wmemcmp
# reads whole vectors, which this valgrind takes for overreads; the plain version is used.)
underValgrind() {
    GLIBC_TUNABLES=glibc.cpu.hwcaps=-AVX2_Usable,-AVX2 valgrind --error-exitcode=9 \
        --leak-check=full -q build/native/tests/unit/kestrave_unit_tests --gtest_brief=1 >/dev/null
}
stage "set up" bash scripts/setup.sh
export KESTRAVE_WERROR=ON
stage "build: native" bash scripts/build.sh native
stage "unit tests" ctest --preset native -j 2
# Valgrind keeps one core busy for a minute: it runs beside the Windows builds, which share
# nothing with it, and is waited for before anything runs under Wine.
valgrindLog="$(mktemp /tmp/kestrave-valgrind.XXXXXX)"
valgrindStarted=$(date +%s)
underValgrind >"$valgrindLog" 2>&1 &
valgrindPid=$!
trap 'kill "$valgrindPid" 2>/dev/null || true' EXIT # a build that fails leaves nothing behind
stage "build: Windows x64 (valgrind beside it)" bash scripts/build.sh windows
# The 32-bit build is the program and its console twin, which the Wine tests and the driver
# run; its test programs would never run.
buildX86() {
    cmake --preset windows-x86 -DKESTRAVE_WERROR=ON >/dev/null
    cmake --build --preset windows-x86 --target Kestrave KestraveConsole
}
stage "build: Windows x86 program and twin (valgrind beside it)" buildX86
valgrindStatus=0
wait "$valgrindPid" || valgrindStatus=$?
times+=("$(printf '%5d s  %s' "$(($(date +%s) - valgrindStarted))" "unit tests under valgrind (from its start to its end)")")
if [ "$valgrindStatus" -ne 0 ]; then
    cat "$valgrindLog" >&2
    echo "test: the unit tests under valgrind failed ($valgrindStatus)" >&2
    exit 1
fi
rm -f "$valgrindLog"
stage "imports of the four programs" checkImports
stage "Wine tests" bash scripts/wine-tests.sh
# The release: built twice to the same bytes, signed, installed, upgraded and removed. Its
# builds use no Wine: they run beside the driver, which mostly waits on Wine's windows.
releaseWork="$(mktemp -d /tmp/kestrave-release-test.XXXXXX)"
releaseLog="$releaseWork.log"
releaseStarted=$(date +%s)
bash tests/release/release-test.sh --builds-into "$releaseWork" >"$releaseLog" 2>&1 &
releasePid=$!
trap 'kill "$valgrindPid" "$releasePid" 2>/dev/null || true' EXIT
stage "driver, both architectures (the release's builds beside it)" bash scripts/drive.sh
releaseStatus=0
wait "$releasePid" || releaseStatus=$?
times+=("$(printf '%5d s  %s' "$(($(date +%s) - releaseStarted))" "release: two builds, the newer one, their checks (from start to end)")")
cat "$releaseLog"
rm -f "$releaseLog"
if [ "$releaseStatus" -ne 0 ]; then
    echo "test: the release's builds failed their checks" >&2
    exit 1
fi
stage "release: the packages under Wine" bash tests/release/release-test.sh --packages-from "$releaseWork"
echo "--- time by stage"
printf '%s\n' "${times[@]}"
printf '%5d s  in all\n' "$(($(date +%s) - started))"

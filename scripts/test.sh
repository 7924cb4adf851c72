#!/usr/bin/env bash
# Sets up, builds every preset and runs every test: native unit tests, then the Windows
# test program and the acceptance checks under Wine. Each stage's time is printed at the end.
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
# The same tests once more under valgrind: no invalid access, no leak. (glibc's AVX2 wmemcmp
# reads whole vectors, which this valgrind takes for overreads; the plain version is used.)
underValgrind() {
    GLIBC_TUNABLES=glibc.cpu.hwcaps=-AVX2_Usable,-AVX2 valgrind --error-exitcode=9 \
        --leak-check=full -q build/native/tests/unit/kestrave_unit_tests --gtest_brief=1 >/dev/null
}
stage "set up" bash scripts/setup.sh
export KESTRAVE_WERROR=ON
stage "build: native, Windows x64 and x86" bash scripts/build.sh native windows windows-x86
stage "imports of the four programs" checkImports
stage "unit tests" ctest --preset native
stage "unit tests under valgrind" underValgrind
stage "Wine tests" bash scripts/wine-tests.sh
stage "driver, both architectures" bash scripts/drive.sh
# The release: built twice to the same bytes, signed, installed, upgraded and removed.
stage "release" bash tests/release/release-test.sh
echo "--- time by stage"
printf '%s\n' "${times[@]}"
printf '%5d s  in all\n' "$(($(date +%s) - started))"

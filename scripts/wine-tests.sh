#!/usr/bin/env bash
# Runs the Windows test program under Wine, in a throwaway prefix, under Xvfb, with a local
# CUPS whose queues Wine lists as its printers; then the window-layer tests once more in
# English, in Traditional Chinese (with the command line), keeping and restoring through the
# command line, and at 144 DPI (LogPixels in the same prefix), and the default printer dialog as
# Windows 10 shows it.
set -euo pipefail
# A failing step says which one it was, not just the exit code.
trap 'echo "${0##*/}: failed at line $LINENO: $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."
source scripts/test-world.sh
kestrave_test_world_up
# D: is a second local drive on another file system than C: (the host's /dev/shm), readable
# by everyone and writable by its owner alone, as a data drive is: moves across volumes.
other_drive="/dev/shm/kestrave-d.$$"
mkdir -p "$other_drive" && chmod 755 "$other_drive"
ln -sfn "$other_drive" "$WINEPREFIX/dosdevices/d:"
trap 'kestrave_wine_down; kestrave_cups_down; rm -rf "$other_drive"' EXIT
wine build/windows/kestrave_wine_tests.exe "$@"
if [ $# -eq 0 ]; then
    layer='WindowLayerWine.*:LayoutWine.*:StringTableWine.*:FirstSightWine.*'
    echo "--- the window layer and a spool folder named outside the code page, in English (1252)"
    LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 wine build/windows/kestrave_wine_tests.exe \
        --gtest_filter="$layer:SpoolFolderWine.*"
    echo "--- a Traditional Chinese session (zh_TW, code page 950): the window layer, the command line"
    LANG=zh_TW.UTF-8 LC_ALL=zh_TW.UTF-8 KESTRAVE_EXPECT_BLOCK=0404 \
        wine build/windows/kestrave_wine_tests.exe --gtest_filter="$layer"
    # Into a file, not a pipe: the desktop process Wine starts keeps a pipe open for ever.
    said="$WINEPREFIX/said.txt"
    for args in /status /diagnose /bad; do
        LANG=zh_TW.UTF-8 LC_ALL=zh_TW.UTF-8 wine build/windows/Kestrave.exe $args >"$said" 2>&1 ||
            true
        head -3 "$said"
        grep -Eq "印表機背景服務|診斷完成|無法識別的參數" "$said" ||
            { echo "Kestrave.exe $args did not answer in Traditional Chinese" >&2; exit 1; }
    done
    echo "--- keeping what a repair clears, and putting it back, through the command line"
    queue="$WINEPREFIX/drive_c/windows/system32/spool/PRINTERS"
    kept="$WINEPREFIX/drive_c/ProgramData/Kestrave/Cleared"
    rm -rf "$WINEPREFIX/drive_c/ProgramData/Kestrave" # what earlier tests kept is not this run's
    mkdir -p "$queue"
    printf 'pages' >"$queue/FP00077.SPL"
    printf 'shadow' >"$queue/FP00077.SHD"
    wine build/windows/Kestrave.exe /repair /keep >"$said" 2>&1
    tail -1 "$said"
    grep -q '（2 个文件保留在 C:\\ProgramData\\Kestrave\\Cleared\\20' "$said"
    test ! -e "$queue/FP00077.SPL"
    test "$(cat "$kept"/*/FP00077.SPL)" = pages
    wine build/windows/Kestrave.exe /restore >"$said" 2>&1
    tail -1 "$said"
    grep -q '^恢复完成：1 个打印作业' "$said"
    test "$(cat "$queue/FP00077.SHD")" = shadow
    wine build/windows/Kestrave.exe /repair >"$said" 2>&1 # not chosen: deleted as before
    test ! -e "$queue/FP00077.SPL"
    test -z "$(ls -A "$kept")"
    if wine build/windows/Kestrave.exe /status /keep >"$said" 2>&1; then exit 1; fi
    echo "--- the default printer dialog where Windows manages the default (Windows 10)"
    wine winecfg -v win10 >/dev/null 2>&1
    KESTRAVE_EXPECT_MANAGED=1 wine build/windows/kestrave_wine_tests.exe \
        --gtest_filter='PrinterWine.TheCheckBox*'
    wine winecfg -v win7 >/dev/null 2>&1
    echo "--- the window layer at 144 DPI"
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
    wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
    KESTRAVE_EXPECT_DPI=144 wine build/windows/kestrave_wine_tests.exe --gtest_filter="$layer"
fi

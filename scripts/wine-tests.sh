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
    echo "--- the console twin: the window program's lines and exit codes, for every action"
    # cmd /c waits for a console program, as a shell on Windows does.
    twin() { # PROGRAM ARGS... -> its lines in $said, its exit code in $said.rc
        local code=0
        wine cmd /c "$(winepath -w "$1")" "${@:2}" >"$said" 2>&1 || code=$?
        echo "$code" >"$said.rc"
    }
    same_as_window() { # SETUP ARGS...: after SETUP each time, the twin says and exits as Kestrave.exe
        local code=0
        "$1"
        wine build/windows/Kestrave.exe "${@:2}" >"$said.exe" 2>&1 || code=$?
        "$1"
        twin build/windows/Kestrave.com "${@:2}"
        # The usage alone may differ, by design: each program names itself, and what it does
        # without a switch.
        local own='s/^用法：Kestrave\.(exe|com) \[/用法：Kestrave [/; /^  （无参数）/d'
        if ! cmp -s <(sed -E "$own" "$said.exe") <(sed -E "$own" "$said") ||
            [ "$code" != "$(cat "$said.rc")" ]; then
            echo "Kestrave.com ${*:2} differs from Kestrave.exe (exit $code, then $(cat "$said.rc"))" >&2
            diff "$said.exe" "$said" >&2 || true
            exit 1
        fi
        echo "  ${*:2} : exit $code, the same $(wc -l <"$said") lines"
    }
    # Wine's service manager keeps the start type it read at boot: set through the program.
    running_with_a_job() {
        wine build/windows/Kestrave.exe /repair >/dev/null 2>&1
        printf 'pages' >"$queue/FP00078.SPL"
    }
    stopped_with_a_job() {
        running_with_a_job
        wine net stop spooler >/dev/null 2>&1
    }
    same_as_window stopped_with_a_job /status
    same_as_window stopped_with_a_job /repair /discard
    same_as_window running_with_a_job /repair
    same_as_window : /status
    same_as_window : /diagnose
    same_as_window : /restore
    same_as_window : /?
    same_as_window : /bad
    same_as_window : /status /keep
    same_as_window running_with_a_job /disable
    same_as_window : /status
    test "$(cat "$said.rc")" = 3 # disabled: told apart from "needs a repair"
    twin build/windows/Kestrave.com
    test "$(cat "$said.rc")" = 2 && grep -q '^用法：Kestrave.com \[' "$said"
    echo "  (no switch): exit 2, the usage"
    same_as_window stopped_with_a_job /repair
    echo "--- /json read as fleets read it, and a repair's event in the Application log"
    same_as_window : /status /json
    python3 -m json.tool "$said" >/dev/null
    printf 'pages' >"$queue/FP00080.SPL"
    # Wine's ReportEventW is a stub that prints what it is given.
    WINEDEBUG=+eventlog wine cmd /c "$(winepath -w build/windows/Kestrave.com)" /repair /json \
        >"$said" 2>"$said.trace"
    python3 -m json.tool "$said" >/dev/null
    test "$(tr -d '\r\n' <"$said" | wc -c)" -le 2048
    grep -q 'RegisterEventSourceW ((null),L"Kestrave")' "$said.trace"
    grep -Eq 'ReportEventW \([0-9A-Fa-f]+,0x0004,0x0000,0x400003e8,' "$said.trace"
    echo "  parsed; event 1000 (information) written from source Kestrave"
    echo "--- printing to shared printers: settings written into the registry, read back"
    pnp='HKLM\SOFTWARE\Policies\Microsoft\Windows NT\Printers\PointAndPrint'
    wine reg add "$pnp" /v RestrictDriverInstallationToAdministrators /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wine reg add "$pnp" /v ServerList /t REG_SZ /d 'print1.corp;print2.corp' /f >/dev/null 2>&1
    wine reg add 'HKLM\SYSTEM\CurrentControlSet\Control\Print' /v RpcAuthnLevelPrivacyEnabled \
        /t REG_DWORD /d 0 /f >/dev/null 2>&1
    twin build/windows/Kestrave.com /diagnose
    grep -q '^  \[!\] RestrictDriverInstallationToAdministrators 为 0' "$said"
    grep -q 'ServerList（HKLM\\SOFTWARE\\Policies\\Microsoft\\Windows NT\\Printers\\PointAndPrint）：print1.corp;print2.corp' "$said"
    echo "  /diagnose: $(grep -c 'HKLM' "$said") settings named, drivers open to all users a problem"
    LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 twin build/windows/Kestrave.com /explain:0x11b
    test "$(cat "$said.rc")" = 0
    grep -q '^0x0000011B: ' "$said"
    grep -q 'RpcAuthnLevelPrivacyEnabled (HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print): 0 (off)' "$said"
    twin build/windows/Kestrave.com /explain:nonsense
    test "$(cat "$said.rc")" = 2
    wine reg delete "$pnp" /f >/dev/null 2>&1
    wine reg delete 'HKLM\SYSTEM\CurrentControlSet\Control\Print' /v RpcAuthnLevelPrivacyEnabled /f >/dev/null 2>&1
    echo "  /explain:0x11b names this machine's RpcAuthnLevelPrivacyEnabled as 0; nonsense: exit 2"
    echo "--- the 32-bit program in this 64-bit prefix: the same spooler, folder and settings"
    if [ -e /usr/lib/wine/i386-windows/kernel32.dll ] || dpkg -s wine32:i386 >/dev/null 2>&1; then
        printf 'pages' >"$queue/FP00079.SPL"
        printf 'shadow' >"$queue/FP00079.SHD"
        twin build/windows-x86/Kestrave.com /status
        cat "$said"
        grep -q '队列中的文件：2.\?$' "$said"
        twin build/windows-x86/Kestrave.com /repair
        tail -1 "$said"
        test "$(cat "$said.rc")" = 0 && test ! -e "$queue/FP00079.SPL"
        # A port monitor whose library is in the 64-bit System32 alone: found, not "missing".
        monitor='HKLM\SYSTEM\CurrentControlSet\Control\Print\Monitors\Kestrave Probe'
        cp "$WINEPREFIX/drive_c/windows/system32/localspl.dll" \
            "$WINEPREFIX/drive_c/windows/system32/kestraveprobe.dll"
        rm -f "$WINEPREFIX/drive_c/windows/syswow64/kestraveprobe.dll"
        wine reg add "$monitor" /v Driver /d kestraveprobe.dll /f >/dev/null 2>&1
        twin build/windows-x86/Kestrave.com /diagnose
        wine reg delete "$monitor" /f >/dev/null 2>&1
        rm -f "$WINEPREFIX/drive_c/windows/system32/kestraveprobe.dll"
        grep 'Kestrave Probe' "$said"
        grep -q '^  Kestrave Probe：kestraveprobe.dll（Microsoft Corporation）' "$said"
        if grep -q 'kestraveprobe.dll 不存在' "$said"; then exit 1; fi
        # The 64-bit spooler's own environment, and the one quarantine both programs share.
        pp='HKLM\SYSTEM\CurrentControlSet\Control\Print\Environments\Windows x64\Print Processors\Kestrave Probe PP'
        wine reg add "$pp" /v Driver /d kestraveprobe.dll /f >/dev/null 2>&1
        twin build/windows-x86/Kestrave.com /quarantine:"Kestrave Probe PP"
        tail -1 "$said"
        test "$(cat "$said.rc")" = 0
        if wine reg query "$pp" >/dev/null 2>&1; then exit 1; fi
        twin build/windows/Kestrave.com /quarantine
        grep -q 'Kestrave Probe PP' "$said"
        twin build/windows/Kestrave.com /unquarantine:"Kestrave Probe PP"
        test "$(cat "$said.rc")" = 0
        wine reg query "$pp" /v Driver | grep -q kestraveprobe.dll
        wine reg delete "$pp" /f >/dev/null 2>&1
        echo "  a print processor quarantined by the 32-bit program, listed and put back by the 64-bit one"
    else
        echo "  (skipped: no wine32 here)"
    fi
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

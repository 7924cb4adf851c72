#!/usr/bin/env bash
# Takes the README's screenshots of the real program under Wine and Xvfb: in Chinese, in
# English (LANG=en_US.UTF-8), in Traditional Chinese (LANG=zh_TW.UTF-8) and at 144 DPI (LogPixels in the prefix), driven as a user would.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/test-world.sh
kestrave_test_world_up
out=docs/screenshots
mkdir -p "$out"

# shot NAME TITLE: saves the window of that title as NAME.png
shot() {
    local geo
    geo=$(xwininfo -root -tree | grep -F "\"$2\"" | head -1 | grep -oE '[0-9]+x[0-9]+\+[0-9]+\+[0-9]+' | head -1)
    if [ -z "$geo" ]; then echo "no window \"$2\"" >&2; return 1; fi
    import -window root -crop "$geo" +repage "$out/$1.png"
    echo "$out/$1.png"
}
# grab NAME WINDOW-ID [EXTRA-HEIGHT]: saves that window (and room below it) as NAME.png
grab() {
    local geo
    if [ -z "$2" ] || ! xwininfo -id "$2" >/dev/null 2>&1; then
        echo "screenshots: the window for $1.png is gone; $1.png left as it was" >&2
        return 0
    fi
    geo=$(xwininfo -id "$2" | awk -v extra="${3:-0}" '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Width/ {w=$2} /Height/ {h=$2} END {print w "x" h+extra "+" x "+" y}')
    import -window root -crop "$geo" +repage "$out/$1.png"
    echo "$out/$1.png"
}

# session SUFFIX MENU: the main window stopped and running, the menu and the default printer
# dialog (when MENU is 1: their positions are those of 96 DPI), then the about window.
session() {
    local suffix=$1 menu=$2
    wine net stop spooler >/dev/null 2>&1 || true
    wine build/windows/Kestrave.exe &
    sleep 5
    shot "main-stopped$suffix" "Kestrave 1.0"
    wine net start spooler >/dev/null 2>&1
    sleep 3
    shot "main-running$suffix" "Kestrave 1.0"
    local win
    win=$(xdotool search --name "^Kestrave 1.0$" | head -1)
    if [ "$menu" = 1 ]; then
        # frame: 3 px border, 20 px caption
        xdotool mousemove --window "$win" $(( 362 + 3 )) $(( 123 + 23 )) click 1   # the menu button
        sleep 1
        import -window root -crop "$(xwininfo -id "$win" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Width/ {w=$2} /Height/ {h=$2} END {print w+200 "x" h+140 "+" x "+" y}')" +repage "$out/menu$suffix.png"
        echo "$out/menu$suffix.png"
        xdotool key Down Down Down Down Return   # the default printer settings
        sleep 2
        local dlg w
        dlg=$(xdotool search --name "." | while read -r id; do xwininfo -id "$id" 2>/dev/null | grep -q "Map State: IsViewable" && echo "$id"; done | grep -vx "$win" | tail -1)
        xdotool mousemove --window "$dlg" $(( 16 + 3 + 150 )) $(( 32 + 23 + 10 )) click 1   # open the list
        sleep 1
        grab "default-printer$suffix" "$dlg" 120
        xdotool key Escape
        sleep 0.5
        w=$(xwininfo -id "$dlg" | awk '/Width/ {print $2}')
        xdotool mousemove --window "$dlg" $(( w - 12 )) 10 click 1   # its close box
        sleep 1
    fi
    xdotool windowactivate --sync "$win" 2>/dev/null || true
    xdotool windowfocus --sync "$win" 2>/dev/null || true
    sleep 0.5
    xdotool key F1
    sleep 2
    local about
    about=$(xdotool search --onlyvisible --name "Kestrave" | grep -vx "$win" | tail -1)
    grab "about$suffix" "$about"
    xdotool key Escape 2>/dev/null || true
    wine taskkill /im Kestrave.exe /f >/dev/null 2>&1 || true
    sleep 1
}

# menu_shot NAME ITEM TITLE: the window the menu's ITEM-th item opens (1 first), alone.
menu_shot() {
    wine build/windows/Kestrave.exe &
    sleep 5
    local win shown
    win=$(xdotool search --name "^Kestrave 1.0$" | head -1)
    xdotool mousemove --window "$win" $(( 362 + 3 )) $(( 123 + 23 )) click 1   # the menu button
    sleep 1
    for _ in $(seq "$2"); do xdotool key Down; done
    xdotool key Return
    # A slow start (Wine's version just changed) may take longer than usual: wait for it.
    shown=""
    for _ in $(seq 30); do
        sleep 0.5
        shown=$(xdotool search --name "$3" 2>/dev/null | head -1 || true)
        [ -z "$shown" ] || break
    done
    sleep 1
    if [ -n "$shown" ]; then
        grab "$1" "$shown"
    else
        echo "screenshots: \"$3\" did not open; $1.png left as it was" >&2
    fi
    wine taskkill /im Kestrave.exe /f >/dev/null 2>&1 || true
    sleep 1
}

# keep_shots: after a repair that kept two jobs, the menu with its keep items, and the question
# the restore item asks, showing what the last kept repair holds.
keep_shots() {
    local queue="$WINEPREFIX/drive_c/windows/system32/spool/PRINTERS" win box
    mkdir -p "$queue"
    printf 'pages' >"$queue/FP00012.SPL"
    printf 'pages' >"$queue/FP00013.SPL"
    wine build/windows/Kestrave.exe /repair /keep >/dev/null 2>&1
    wine build/windows/Kestrave.exe &
    sleep 5
    win=$(xdotool search --name "^Kestrave 1.0$" | head -1)
    xdotool mousemove --window "$win" $(( 362 + 3 )) $(( 123 + 23 )) click 1   # the menu button
    sleep 1
    import -window root -crop "$(xwininfo -id "$win" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Width/ {w=$2} /Height/ {h=$2} END {print w+200 "x" h+190 "+" x "+" y}')" +repage "$out/menu-keep.png"
    echo "$out/menu-keep.png"
    for _ in $(seq 7); do xdotool key Down; done
    xdotool key Return   # the restore item
    sleep 2
    box=$(xdotool search --onlyvisible --name "^Kestrave$" | grep -vx "$win" | tail -1)
    grab restore-question "$box"
    xdotool key Escape 2>/dev/null || true
    wine taskkill /im Kestrave.exe /f >/dev/null 2>&1 || true
    wine build/windows/Kestrave.exe /repair /discard >/dev/null 2>&1 || true
    sleep 1
}

# open_diagnosis TITLE: starts Kestrave and opens its diagnosis from the menu; sets the caller's
# win (the main window) and dx (the diagnosis, empty when it did not open in 30 s).
open_diagnosis() {
    wine build/windows/Kestrave.exe &
    sleep 5
    win=$(xdotool search --name "^Kestrave 1.0$" | head -1)
    xdotool mousemove --window "$win" $(( 362 + 3 )) $(( 123 + 23 )) click 1   # the menu button
    sleep 1
    for _ in $(seq 5); do xdotool key Down; done
    xdotool key Return
    dx=""
    for _ in $(seq 60); do
        sleep 0.5
        dx=$(xdotool search --name "$1" 2>/dev/null | head -1 || true)
        [ -z "$dx" ] || break
    done
    sleep 2
}

# quarantine_shots: a vendor's print processor used by one printer; the diagnosis with its offer,
# the offer's menu, and the question it asks first (answered No: nothing changes).
quarantine_shots() {
    local key='HKLM\System\CurrentControlSet\Control\Print\Environments\Windows x64\Print Processors\AcmeFastPrint'
    local procs="$WINEPREFIX/drive_c/windows/system32/spool/prtprocs/x64" printer dx box
    mkdir -p "$procs"
    cp "$WINEPREFIX/drive_c/windows/system32/winprint.dll" "$procs/acmepp.dll" 2>/dev/null ||
        printf 'MZ' >"$procs/acmepp.dll"
    wine reg add "$key" /v Driver /t REG_SZ /d acmepp.dll /f >/dev/null 2>&1
    # Wine writes the CUPS queues into the registry when printers are first listed.
    wine build/windows/Kestrave.com /diagnose >/dev/null 2>&1 || true
    printer=$(wine reg query 'HKLM\System\CurrentControlSet\Control\Print\Printers' 2>/dev/null |
        tr -d '\r' | grep -i 'Printers\\.' | head -1 || true)
    [ -z "$printer" ] || wine reg add "$printer" /v "Print Processor" /t REG_SZ /d AcmeFastPrint /f >/dev/null 2>&1
    local win dx
    open_diagnosis "$1"
    if [ -n "$dx" ]; then
        xdotool mousemove --window "$dx" $(( 8 + 80 + 3 )) $(( 380 + 14 + 23 )) click 1   # the offer
        sleep 1
        import -window root -crop "$(xwininfo -id "$dx" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Width/ {w=$2} /Height/ {h=$2} END {print w "x" h+60 "+" x "+" y}')" +repage "$out/quarantine-offer$2.png"
        echo "$out/quarantine-offer$2.png"
        xdotool key Down Return
        sleep 2
        box=$(xdotool search --onlyvisible --name "^Kestrave$" | grep -vx "$win" | tail -1)
        grab "quarantine-question$2" "$box"
        xdotool key Escape 2>/dev/null || true
    else
        echo "screenshots: \"$1\" did not open; the quarantine's pictures left as they were" >&2
    fi
    wine taskkill /im Kestrave.exe /f >/dev/null 2>&1 || true
    [ -z "$printer" ] || wine reg add "$printer" /v "Print Processor" /t REG_SZ /d winprint /f >/dev/null 2>&1
    wine reg delete "$key" /f >/dev/null 2>&1 || true
    sleep 1
}

# sharing_shots: drivers opened to every user and two trusted servers; the diagnosis scrolled to
# "Printing to shared printers", then the answer for a code typed into its field.
sharing_shots() {
    local pnp='HKLM\SOFTWARE\Policies\Microsoft\Windows NT\Printers\PointAndPrint' win dx box
    wine reg add "$pnp" /v RestrictDriverInstallationToAdministrators /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wine reg add "$pnp" /v ServerList /t REG_SZ /d 'print1.corp;print2.corp' /f >/dev/null 2>&1
    open_diagnosis "$1"
    if [ -n "$dx" ]; then
        xdotool mousemove --window "$dx" $(( 300 + 3 )) $(( 150 + 23 )) click 1   # the report
        xdotool key ctrl+End Page_Up Page_Up
        sleep 1
        grab "sharing$2" "$dx"
        xdotool mousemove --window "$dx" $(( 172 + 3 )) $(( 358 + 23 )) click 1   # the code field
        xdotool type 0x11b
        xdotool mousemove --window "$dx" $(( 293 + 3 )) $(( 358 + 23 )) click 1   # Explain
        sleep 2
        box=$(xdotool search --onlyvisible --name "^Kestrave" | grep -vx "$win" | grep -vx "$dx" | tail -1)
        grab "explain$2" "$box"
        xdotool key Return 2>/dev/null || true
    else
        echo "screenshots: \"$1\" did not open; the sharing pictures left as they were" >&2
    fi
    wine taskkill /im Kestrave.exe /f >/dev/null 2>&1 || true
    # Gone before the next start, which would otherwise hand over to it and end (Wine's
    # taskkill does not always end a program inside a modal loop).
    for _ in $(seq 20); do pgrep -f 'Kestrave.exe' >/dev/null || break; sleep 0.5; done
    pkill -9 -f 'Kestrave.exe' 2>/dev/null || true
    wine reg delete "$pnp" /f >/dev/null 2>&1 || true
    sleep 1
}

# contrast_shots: the theme reported as high contrast (Wine cannot switch to one) with a
# high-contrast palette in the system's colours: the main window in both states and the about
# window, every colour the system's.
contrast_shots() {
    local colors='HKCU\Control Panel\Colors'
    wine reg export "$colors" "$WINEPREFIX/colors.reg" >/dev/null 2>&1 || true
    for pair in "Window:0 0 0" "WindowText:255 255 255" "Hilight:26 235 255" \
                "HilightText:0 0 0" "ButtonFace:0 0 0" "ButtonText:255 255 255" \
                "HotTrackingColor:255 255 0" "GrayText:63 242 63"; do
        wine reg add "$colors" /v "${pair%%:*}" /t REG_SZ /d "${pair#*:}" /f >/dev/null 2>&1
    done
    (export KESTRAVE_REPORT_HIGH_CONTRAST=1; session "-high-contrast" 0)
    wine reg delete "$colors" /f >/dev/null 2>&1 || true
    [ ! -e "$WINEPREFIX/colors.reg" ] || wine reg import "$WINEPREFIX/colors.reg" >/dev/null 2>&1 || true
}

if [ "${1:-}" = contrast ]; then
    contrast_shots
    exit 0
fi
if [ "${1:-}" = sharing ]; then
    sharing_shots "诊断报告" ""
    (export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8; sharing_shots "diagnosis report" "-en")
    exit 0
fi
if [ "${1:-}" = quarantine ]; then
    quarantine_shots "诊断报告" ""
    (export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8; quarantine_shots "diagnosis report" "-en")
    exit 0
fi
session "" 1
menu_shot diagnosis 5 "诊断报告"
quarantine_shots "诊断报告" ""
sharing_shots "诊断报告" ""
keep_shots
# Where Windows manages the default printer (Windows 10 and later), the dialog offers to stop it.
wine winecfg -v win10 >/dev/null 2>&1
menu_shot default-printer-managed 4 "默认打印机设置"
wine winecfg -v win7 >/dev/null 2>&1
(
    export LANG=zh_TW.UTF-8 LC_ALL=zh_TW.UTF-8
    session "-zh-tw" 1
    menu_shot diagnosis-zh-tw 5 "診斷報告"
)
(
    export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
    session "-en" 1
    quarantine_shots "diagnosis report" "-en"
    sharing_shots "diagnosis report" "-en"
)
contrast_shots
# 144 DPI: the resolution Wine gives every new program in this prefix.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
session "-144dpi" 0

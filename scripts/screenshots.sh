#!/usr/bin/env bash
# Takes the README's screenshots of the real program under Wine and Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-env.sh
unset WINEPREFIX
kestrave_wine_up --xvfb
trap kestrave_wine_down EXIT
wineserver -p
out=docs/screenshots
mkdir -p "$out"

# shot NAME TITLE: saves the window of that title (with a margin) as NAME.png
shot() {
    local geo
    geo=$(xwininfo -root -tree | grep -F "\"$2\"" | head -1 | grep -oE '[0-9]+x[0-9]+\+[0-9]+\+[0-9]+' | head -1)
    if [ -z "$geo" ]; then echo "no window \"$2\"" >&2; return 1; fi
    import -window root -crop "$geo" +repage "$out/$1.png"
    echo "$out/$1.png"
}

wine net stop spooler >/dev/null 2>&1 || true
wine build/windows/Kestrave.exe &
sleep 5
shot main-stopped "Kestrave 1.0"
wine net start spooler >/dev/null 2>&1
sleep 3
shot main-running "Kestrave 1.0"
if [ -x build/windows/kestrave_driver.exe ]; then
    wine build/windows/kestrave_driver.exe --screenshots "$out" || true
fi

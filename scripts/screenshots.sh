#!/usr/bin/env bash
# Takes the README's screenshots of the real program under Wine and Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/test-world.sh
kestrave_test_world_up
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

# Drive it as a user would: xdotool clicks and keys on the real window.
win=$(xdotool search --name "^Kestrave 1.0$" | head -1)
click() { # x y in the main window's client area (frame: 3 px border, 20 px caption)
    xdotool mousemove --window "$win" $(( $1 + 3 )) $(( $2 + 23 )) click 1
}
click 362 123            # 菜单...
sleep 1
import -window root -crop "$(xwininfo -id "$win" | awk '/-geometry/ {print $2}' | sed 's/[+-].*//' | awk -Fx '{print $1+200 "x" $2+140}')+$(xwininfo -id "$win" | awk '/Absolute upper-left X/ {print $4}')+$(xwininfo -id "$win" | awk '/Absolute upper-left Y/ {print $4}')" +repage "$out/menu.png"
echo "$out/menu.png"
xdotool key Down Down Down Down Return   # Winodws 默认打印机设置
sleep 2
dlg=$(xdotool search --name "." | while read -r id; do xwininfo -id "$id" 2>/dev/null | grep -q "Map State: IsViewable" && echo "$id"; done | grep -vx "$win" | tail -1)
xdotool mousemove --window "$dlg" $(( 16 + 3 + 150 )) $(( 32 + 23 + 10 )) click 1   # open the list
sleep 1
geo=$(xwininfo -id "$dlg" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Width/ {w=$2} /Height/ {h=$2} END {print w "x" h+120 "+" x "+" y}')
import -window root -crop "$geo" +repage "$out/default-printer.png"
echo "$out/default-printer.png"
xdotool key Escape
sleep 0.5
w=$(xwininfo -id "$dlg" | awk '/Width/ {print $2}')
xdotool mousemove --window "$dlg" $(( w - 12 )) 10 click 1   # its close box
sleep 1
xdotool mousemove --window "$win" 200 100 click 1
sleep 0.5
xdotool key F1
sleep 2
about=$(xdotool search --name "Kestrave" | grep -vx "$win" | tail -1)
xdotool mousemove --window "$about" $(( 16 + 3 + 32 )) $(( 24 + 23 + 32 )) click 1   # the printer
sleep 0.45
geo=$(xwininfo -id "$about" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Width/ {w=$2} /Height/ {h=$2} END {print w "x" h "+" x "+" y}')
import -window root -crop "$geo" +repage "$out/about.png"
echo "$out/about.png"

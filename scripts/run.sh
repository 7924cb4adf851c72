#!/usr/bin/env bash
# Sets up, builds and starts Kestrave under Wine. On a machine with a display it opens there;
# without one (or with --xvfb) it runs under Xvfb, saves a screenshot and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh windows
source scripts/wine-env.sh
headless=0
if [ -z "${DISPLAY:-}" ] || [ "${1:-}" = "--xvfb" ]; then headless=1; fi
export WINEPREFIX="${WINEPREFIX:-$HOME/.cache/kestrave/wineprefix}"
mkdir -p "$WINEPREFIX"
if [ "$headless" = 1 ]; then
    kestrave_wine_up --xvfb
    trap kestrave_wine_down EXIT
    wine build/windows/Kestrave.exe &
    sleep 6
    shot="$PWD/build/kestrave-screenshot.png"
    import -window root "$shot"
    echo "screenshot: $shot"
else
    kestrave_wine_up
    exec wine build/windows/Kestrave.exe
fi

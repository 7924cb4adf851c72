# Sourced by the run and test scripts: a throwaway Wine prefix of our own in code page 936,
# with the CJK faces the windows ask for (Simplified and Traditional) mapped to an installed
# font, Marlett for the caption buttons, and a display.
#   kestrave_wine_up [--xvfb]   prepares WINEPREFIX and DISPLAY
#   kestrave_wine_down          stops what kestrave_wine_up started, by its pids
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

KESTRAVE_XVFB_PID=""
KESTRAVE_OWN_PREFIX=""

kestrave_wine_up() {
    local want_xvfb=0
    [ "${1:-}" = "--xvfb" ] && want_xvfb=1
    if [ -z "${DISPLAY:-}" ] || [ "$want_xvfb" = 1 ]; then
        local n
        for n in $(seq 90 140); do
            [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
        done
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        KESTRAVE_XVFB_PID=$!
        export DISPLAY=":$n"
        for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    fi
    if [ -z "${WINEPREFIX:-}" ]; then
        WINEPREFIX="$(mktemp -d /tmp/kestrave-wine.XXXXXX)"
        KESTRAVE_OWN_PREFIX="$WINEPREFIX"
    fi
    export WINEPREFIX
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot -i >/dev/null 2>&1
        local reg="$WINEPREFIX/kestrave-fonts.reg"
        # regedit reads REGEDIT4 files in the ANSI code page, here 936.
        iconv -f UTF-8 -t GBK > "$reg" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"微软雅黑"="WenQuanYi Micro Hei"
"宋体"="WenQuanYi Micro Hei"
"Microsoft YaHei"="WenQuanYi Micro Hei"
"SimSun"="WenQuanYi Micro Hei"
"Microsoft JhengHei"="WenQuanYi Micro Hei"
"微軟正黑體"="WenQuanYi Micro Hei"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
REG
        wine regedit "$reg" >/dev/null 2>&1
        wineserver -w
        # The caption buttons' glyphs: a fresh prefix does not pick up the Marlett Wine ships.
        local marlett
        for marlett in /usr/share/wine/fonts/marlett.ttf /usr/lib/wine/fonts/marlett.ttf; do
            [ -f "$marlett" ] && cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/" && break
        done
    fi
}

kestrave_wine_down() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "$KESTRAVE_XVFB_PID" ]; then
        kill "$KESTRAVE_XVFB_PID" 2>/dev/null || true
        wait "$KESTRAVE_XVFB_PID" 2>/dev/null || true
    fi
    if [ -n "$KESTRAVE_OWN_PREFIX" ] && [ "${KESTRAVE_KEEP_PREFIX:-0}" != 1 ]; then
        rm -rf --one-file-system "$KESTRAVE_OWN_PREFIX"
    fi
}

# Wine environment for running Tessary and its tests on Linux. Source it, then call:
#   wine_env_start [PREFIX]   # Xvfb display (unless TESSARY_USE_DISPLAY=1 and DISPLAY is set;
#                             # TESSARY_SCREEN sizes it, default 1280x1024),
#                             # a quiet Wine prefix (created on first use) and a persistent wineserver
#   wine_env_stop             # stops the wineserver and the Xvfb started here
# The prefix defaults to $TESSARY_WINEPREFIX or ~/.cache/tessary/wineprefix.

wine_env_start() {
    local prefix=${1:-${TESSARY_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/tessary/wineprefix}}
    local n display=

    if [ "${TESSARY_USE_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
        WINE_ENV_XVFB_PID=
    else
        for ((n = 90; n < 200; n++)); do
            if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=:$n; break; fi
        done
        [ -n "$display" ] || { echo "wine-env: no free X display" >&2; return 1; }
        Xvfb "$display" -screen 0 "${TESSARY_SCREEN:-1280x1024}x24" -nolisten tcp >/dev/null 2>&1 &
        WINE_ENV_XVFB_PID=$!
        disown "$WINE_ENV_XVFB_PID" 2>/dev/null
        for ((n = 0; n < 100; n++)); do
            [ -e "/tmp/.X11-unix/X${display#:}" ] && break
            sleep 0.1
        done
        export DISPLAY=$display
    fi

    export WINEPREFIX=$prefix
    export WINEARCH=win64
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="

    local fresh=0
    [ -f "$WINEPREFIX/system.reg" ] || fresh=1
    mkdir -p "$WINEPREFIX"
    wineserver -p
    if [ "$fresh" -eq 1 ]; then
        echo "wine-env: creating Wine prefix $WINEPREFIX" >&2
        wineboot -i </dev/null >/dev/null 2>&1
    fi
    # Wine's background services must not inherit a pipe, or `$(wine ...)` and ctest would hang.
    wine cmd /c exit </dev/null >/dev/null 2>&1
    if [ "$fresh" -eq 1 ]; then
        # Without a window manager Wine otherwise waits ~2 s for every destroyed top-level window.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
        local font
        for font in 'Consolas=Liberation Mono' 'Segoe UI=DejaVu Sans' 'Courier New=Liberation Mono'; do
            wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${font%%=*}" /d "${font#*=}" /f \
                </dev/null >/dev/null 2>&1
        done
        # A program that crashes ends with a backtrace on stderr instead of a dialog that waits for
        # a click until the test's timeout.
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
        # Chinese and Japanese labels in the system's own controls borrow their glyphs, as Windows'
        # font linking does.
        for font in Tahoma 'Microsoft Sans Serif' 'MS Shell Dlg' 'MS Shell Dlg 2' 'DejaVu Sans'; do
            wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$font" \
                /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f </dev/null >/dev/null 2>&1
        done
    fi
}

wine_env_stop() {
    wineserver -k 2>/dev/null
    if [ -n "${WINE_ENV_XVFB_PID:-}" ]; then
        kill "$WINE_ENV_XVFB_PID" 2>/dev/null
        WINE_ENV_XVFB_PID=
    fi
}

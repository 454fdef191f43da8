# Wine harness shared by ./run test, ./run demo and ./run bench. Source it,
# then call wine_start; wine_stop runs on exit.
#
# Everything lives under build/: a private prefix, a ja_JP.UTF-8 locale for
# Wine only (LC_CTYPE=ja_JP.UTF-8 gives the ANSI code page 932; without a real
# host locale Wine cannot create non-ASCII file names), and a private Xvfb.
# WINE_USER_LOCALE is the user's language (LC_MESSAGES): English unless set,
# a Japanese system whose user works in English, where a text of the program
# that does not say it is Japanese comes out garbled; the demo sets Japanese.

WINE_ROOT=${WINE_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
WINE_BIN=/usr/lib/wine
# UNINST_WINEPREFIX lets several people test at once, each with its own
# prefix and wineserver.
export WINEPREFIX=${UNINST_WINEPREFIX:-$WINE_ROOT/build/wineprefix}
WINE_LOCPATH=$WINE_ROOT/build/locale
WINE_XVFB_PID=
WINE_DISPLAY=

# Runs a command with the harness's environment (Wine only sees LOCPATH).
wine_env() {
    env -u LC_ALL -u LANG WINEPREFIX="$WINEPREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
        LOCPATH="$WINE_LOCPATH" LC_CTYPE=ja_JP.UTF-8 LC_MESSAGES="${WINE_USER_LOCALE:-en_US.UTF-8}" \
        DISPLAY="$WINE_DISPLAY" "$@"
}

wine_run() {
    wine_env "$WINE_BIN/wine64" "$@"
}

wine_locale() {
    local name
    mkdir -p "$WINE_LOCPATH"
    for name in ja_JP en_US; do
        [ -f "$WINE_LOCPATH/$name.UTF-8/LC_CTYPE" ] && continue
        localedef -i $name -f UTF-8 "$WINE_LOCPATH/$name.UTF-8" 2>/dev/null ||
            [ -f "$WINE_LOCPATH/$name.UTF-8/LC_CTYPE" ] || return 1
    done
}

# Registry every test relies on: Japanese font replacements (IPA fonts) so
# screenshots show the texts, the .txt mapping that every Windows has, and
# windows that Wine manages and decorates itself, since no window manager
# runs on the private X server (without one, Wine waits for it on every
# window that hides); the caption buttons need the Marlett font, copied beside.
wine_registry() {
    local reg=$WINEPREFIX/harness.reg
    {
        printf 'Windows Registry Editor Version 5.00\r\n\r\n'
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
        local face
        for face in "ＭＳ Ｐゴシック" "MS PGothic" "MS UI Gothic" "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "MS Sans Serif"; do
            printf '"%s"="IPAPGothic"\r\n' "$face"
        done
        for face in "ＭＳ ゴシック" "MS Gothic"; do
            printf '"%s"="IPAGothic"\r\n' "$face"
        done
        printf '\r\n[HKEY_LOCAL_MACHINE\\Software\\Classes\\.txt]\r\n@="txtfile"\r\n'
        printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Decorated"="N"\r\n"Managed"="N"\r\n'
    } | iconv -f UTF-8 -t UTF-16 > "$reg"
    wine_run regedit /S "$reg" >/dev/null 2>&1
}

# Whether 32-bit Wine is installed: a prefix made without it has no 32-bit
# system folder, and 32-bit programs then fail to start in it without a word.
wine_has_32bit() {
    [ -x "$WINE_BIN/wine" ]
}

wine_prefix() {
    # The marker names the harness's version and whether the prefix was made
    # with 32-bit Wine: a change in either renews it.
    local marker=$WINEPREFIX/.harness-ready-4 kind=wine64
    wine_has_32bit && kind=wine32
    if [ "$(cat "$marker" 2>/dev/null)" != "$kind" ]; then
        rm -rf "$WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        wine_run wineboot -i >/dev/null 2>&1
        wine_env "$WINE_BIN/wineserver" -w
        wine_registry
        wine_env "$WINE_BIN/wineserver" -w
        local marlett=/usr/share/wine/fonts/marlett.ttf
        [ -f "$marlett" ] && cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/"
        echo "$kind" >"$marker"
    fi
}

wine_xvfb() {
    local n
    for n in $(seq 91 140); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        WINE_XVFB_PID=$!
        local i
        for i in $(seq 1 100); do
            [ -e "/tmp/.X11-unix/X$n" ] && { WINE_DISPLAY=":$n"; return 0; }
            kill -0 "$WINE_XVFB_PID" 2>/dev/null || break
            sleep 0.05
        done
        kill "$WINE_XVFB_PID" 2>/dev/null
        WINE_XVFB_PID=
    done
    echo "wine-env: no display for Xvfb" >&2
    return 1
}

wine_stop() {
    if [ -d "$WINEPREFIX" ]; then
        wine_env "$WINE_BIN/wineserver" -k >/dev/null 2>&1 || true
    fi
    if [ -n "$WINE_XVFB_PID" ]; then
        kill "$WINE_XVFB_PID" 2>/dev/null || true
        wait "$WINE_XVFB_PID" 2>/dev/null || true
        WINE_XVFB_PID=
    fi
}

# The platform the program is made for, checked once before anything runs:
# Wine writes ソ in code page 932 (83 5C), the host locale at work.
wine_platform_ok() {
    local probe=$WINEPREFIX/drive_c/harness-cp.txt bytes
    wine_run cmd /c 'echo ソ>C:\harness-cp.txt' >/dev/null 2>&1
    bytes=$(od -An -tx1 "$probe" 2>/dev/null | tr -d ' \n')
    rm -f "$probe"
    [ "$bytes" = 835c0d0a ] || { echo "wine-env: Wine does not write code page 932 here" >&2; return 1; }
}

# Prepares locale and prefix and starts a private Xvfb unless use_display is
# given and $DISPLAY is set. wine_stop runs when the calling shell exits.
wine_start() {
    local use_display=${1:-}
    wine_locale || { echo "wine-env: cannot build the ja_JP and en_US locales" >&2; return 1; }
    trap wine_stop EXIT
    if [ -n "$use_display" ] && [ -n "${DISPLAY:-}" ]; then
        WINE_DISPLAY=$DISPLAY
    else
        wine_xvfb || return 1
    fi
    wine_prefix && wine_platform_ok
}

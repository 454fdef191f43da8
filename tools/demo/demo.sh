# ./run demo: the real uninstaller on a sample installation under Wine.
# ./run sources this file after starting the Wine harness (tools/wine-env.sh)
# and calls demo_main. The sample comes from examples/: install.env, title.png
# (made into insttscr.rct by rctconv) and files.txt (the installed files).
#
# With $DISPLAY set the user clicks through the uninstaller; without one a
# driver (tools/demo/demo_walk_win.cpp) does it on the private Xvfb and saves
# a screenshot of every step under build/demo/. Either way a table of what
# existed before and what is gone follows.
#
# The build trees can be chosen (for trying the demo from another tree):
# DEMO_NATIVE_BUILD (rctconv), DEMO_WIN_BUILD (uninst.exe, demo_walk.exe),
# DEMO_OUT (screenshots).

# A setting of examples/install.env in UTF-8, '|' read as a blank.
demo_setting() {
    iconv -f CP932 -t UTF-8 "$ROOT/examples/install.env" | tr -d '\r' |
        awk -v key="$1" '/^\[EOF\]/ { exit } $1 == key { print $2; exit }' | tr '|' ' '
}

# The Unix path of a C:\ path in the prefix.
demo_unix() {
    local p=${1#C:\\}
    printf '%s/drive_c/%s' "$WINEPREFIX" "${p//\\//}"
}

# The Windows path (drive Z:) of a Unix path.
demo_win() {
    printf 'Z:%s' "${1//\//\\}"
}

# Fills a file with lines of text up to the given size.
demo_fill() {
    local path=$1 size=$2 line
    line=$(printf '%s: %s\r' "$DEMO_TITLE" "${path##*/}" | iconv -f UTF-8 -t CP932)
    mkdir -p "$(dirname "$path")"
    yes "$line" 2>/dev/null | head -c "$size" >"$path"
}

# Imports registry text (UTF-8, without the header line) through the regedit
# of the product's processor, so that the machine keys land in its view as
# an installer for that processor would write them (WOW6432Node for i686).
demo_reg_import() {
    local reg=$DEMO_OUT/$1.reg
    { printf 'Windows Registry Editor Version 5.00\r\n\r\n'; cat; } | iconv -f UTF-8 -t UTF-16 >"$reg"
    local loader=$WINE_BIN/wine64
    [ "$DEMO_ARCH" = i686 ] && loader=$WINE_BIN/wine
    wine_env "$loader" regedit /S "$(demo_win "$reg")" >/dev/null 2>&1
}

# Writes the registry of the installation: first the leftovers of an earlier
# run go, then the installer's keys are made afresh.
demo_registry() {
    local user="HKEY_CURRENT_USER\\Software\\$DEMO_REG_GLOBAL"
    local machine="HKEY_LOCAL_MACHINE\\Software\\$DEMO_REG_GLOBAL"
    local entry="HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZiViz$DEMO_TITLE"
    local folder=${DEMO_FOLDER//\\/\\\\}
    {
        printf '[-%s]\r\n\r\n[-%s]\r\n\r\n[-%s]\r\n\r\n' "$user" "$machine" "$entry"
        printf '[%s\\%s]\r\n"PlayerName"="ほしみ"\r\n"Volume"=dword:00000050\r\n\r\n' "$user" "$DEMO_REG_LOCAL"
        printf '[%s\\%s\\Config]\r\n"FullScreen"=dword:00000000\r\n"TextSpeed"="速い"\r\n\r\n' "$user" "$DEMO_REG_LOCAL"
        printf '[%s\\%s\\Config\\Keys]\r\n"Jump"="Z"\r\n"Menu"="X"\r\n\r\n' "$user" "$DEMO_REG_LOCAL"
        printf '[%s\\%s\\Progress]\r\n"Chapter"=dword:00000003\r\n\r\n' "$user" "$DEMO_REG_LOCAL"
        printf '[%s\\%s]\r\n"InstallDir"="%s"\r\n\r\n' "$machine" "$DEMO_REG_LOCAL" "$folder"
        printf '[%s]\r\n"DisplayName"="%s"\r\n"Publisher"="%s"\r\n"UninstallString"="%s\\\\uninst.exe"\r\n' \
            "$entry" "$DEMO_TITLE" "$DEMO_GROUP" "$folder"
    } | demo_reg_import install
}

# Lays out the installation in the prefix and writes the driver's checklist
# (expected outcome, kind, path) of everything the uninstall should touch.
demo_install() {
    local win=$1 native=$2
    local folder parent programs desktop list
    folder=$(demo_unix "$DEMO_FOLDER")
    parent=$(dirname "$folder")
    programs="C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\$DEMO_GROUP\\$DEMO_TITLE"
    desktop="C:\\users\\Public\\Desktop\\$DEMO_TITLE.lnk"
    list=$DEMO_OUT/checklist.utf8
    rm -rf "$parent" "$(dirname "$(demo_unix "$programs")")" "$(demo_unix "$desktop")"
    mkdir -p "$folder"

    : >"$list"
    local size path
    while read -r size path; do
        case $size in '' | '#'*) continue ;; esac
        demo_fill "$folder/${path//\\//}" "$size"
        printf 'gone\tfile\t%s\\%s\n' "$DEMO_FOLDER" "$path" >>"$list"
    done <"$ROOT/examples/files.txt"
    # The voice files, small and many as a game has them: enough that the
    # removal takes a moment, and the window can be seen at work.
    local i
    mkdir -p "$folder/data/voice"
    for ((i = 1; i <= 12000; i++)); do
        : >"$folder/data/voice/v$i.ogg"
    done
    (cd "$folder" && find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g') |
        while read -r sub; do printf 'gone\tfolder\t%s\\%s\n' "$DEMO_FOLDER" "$sub"; done >>"$list"

    cp "$ROOT/examples/install.env" "$folder/install.env"
    "$native/rctconv" encode "$ROOT/examples/title.png" "$folder/insttscr.rct" || return 1
    cp "$win/uninst.exe" "$folder/uninst.exe"
    local name
    for name in install.env insttscr.rct uninst.exe; do
        printf 'gone\tfile\t%s\\%s\n' "$DEMO_FOLDER" "$name" >>"$list"
    done
    printf 'gone\tfolder\t%s\n' "$DEMO_FOLDER" >>"$list"
    printf 'gone\tfolder\t%s\n' "${DEMO_FOLDER%\\*}" >>"$list"

    # Shortcuts: plain files under the names the installer gives them.
    local readme
    readme=$(demo_setting INSTREADME)
    for name in "$DEMO_TITLE" "$DEMO_TITLE $readme" "$DEMO_TITLE アンインストール"; do
        mkdir -p "$(demo_unix "$programs")"
        printf '[shortcut]\r\n' >"$(demo_unix "$programs\\$name.lnk")"
        printf 'gone\tfile\t%s\\%s.lnk\n' "$programs" "$name" >>"$list"
    done
    printf '[shortcut]\r\n' >"$(demo_unix "$desktop")"
    printf 'gone\tfolder\t%s\n' "$programs" >>"$list"
    printf 'gone\tfolder\t%s\n' "${programs%\\*}" >>"$list"
    printf 'gone\tfile\t%s\n' "$desktop" >>"$list"

    # One section of the INI file goes; the file's other section stays.
    local ini=C:\\windows\\$DEMO_INI_FILE
    printf '[Common]\r\nLanguage=ja\r\n\r\n[%s]\r\nLastPlayed=2024-04-01\r\nPlayer=ほしみ\r\n' "$DEMO_INI_SECTION" |
        iconv -f UTF-8 -t CP932 >"$(demo_unix "$ini")"
    printf 'gone\tini\t%s\t%s\n' "$ini" "$DEMO_INI_SECTION" >>"$list"
    printf 'stays\tini\t%s\tCommon\n' "$ini" >>"$list"

    demo_registry
    local user="HKCU\\Software\\$DEMO_REG_GLOBAL"
    printf 'gone\tkey\t%s\n' "$user\\$DEMO_REG_LOCAL\\Config\\Keys" "$user\\$DEMO_REG_LOCAL" "$user" >>"$list"
    printf 'gone\tkey\tHKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZiViz%s\n' "$DEMO_TITLE" >>"$list"
    printf 'stays\tkey\tHKLM\\Software\\%s\\%s\n' "$DEMO_REG_GLOBAL" "$DEMO_REG_LOCAL" >>"$list"

    iconv -f UTF-8 -t CP932 "$list" >"$DEMO_OUT/checklist.txt"
}

demo_main() {
    local started=$SECONDS
    local native=${DEMO_NATIVE_BUILD:-$ROOT/build/native}
    # The shipped i686 program where 32-bit programs run, else its twin.
    local win=$ROOT/build/win64 why="the x86_64 twin: this machine cannot run 32-bit programs"
    runs_32bit && win=$ROOT/build/win32
    win=${DEMO_WIN_BUILD:-$win}
    DEMO_ARCH=x86_64
    [ "$(objdump -f "$win/uninst.exe" 2>/dev/null | sed -n 's/.*file format //p')" = pei-i386 ] && DEMO_ARCH=i686
    [ "$DEMO_ARCH" = i686 ] && why="the shipped i686 program"
    runs_32bit && [ "$DEMO_ARCH" = x86_64 ] && why="the x86_64 twin"
    DEMO_OUT=${DEMO_OUT:-$ROOT/build/demo}
    DEMO_TITLE=$(demo_setting TITLEBAR)
    DEMO_GROUP=$(demo_setting INST_GROUP)
    DEMO_REG_GLOBAL=$(demo_setting REG_GLOBAL)
    DEMO_REG_LOCAL=$(demo_setting REG_LOCAL)
    DEMO_INI_FILE=$(demo_setting INI_FILE)
    DEMO_INI_SECTION=$(demo_setting INI_SECTION)
    DEMO_FOLDER="C:\\Program Files\\$(demo_setting INSTFOL)\\$DEMO_TITLE"
    rm -rf "$DEMO_OUT"
    mkdir -p "$DEMO_OUT"

    echo "== demo: installing \"$DEMO_TITLE\" in $DEMO_FOLDER"
    echo "== demo: running ${win#"$ROOT"/}/uninst.exe, $why"
    "$native/envcheck" --raw "$ROOT/examples/install.env" | iconv -f CP932 -t UTF-8 | sed 's/^/   /'
    demo_install "$win" "$native" || return 1

    local exe="$DEMO_FOLDER\\uninst.exe" checklist
    checklist=$(demo_win "$DEMO_OUT/checklist.txt")
    local rc
    if [ -n "${DISPLAY:-}" ] && [ "$WINE_DISPLAY" = "$DISPLAY" ]; then
        cat <<EOF
== demo: the uninstaller opens on your display. Try it:
   1. Press アンインストール (中止 closes it; お読みください opens the readme).
   2. In アンインストールの確認, tick セーブファイルも削除する to remove the save
      files too, and press OK.
   3. Answer the message boxes with OK. Once the window has gone, a script
      deletes uninst.exe and the folder; a table of what is gone follows.
EOF
        wine_run "$win/demo_walk.exe" watch "$exe" "$checklist" 2>&1 >/dev/null | iconv -c -f CP932 -t UTF-8
        rc=${PIPESTATUS[0]}
    else
        echo "== demo: no display; a driver clicks through on a private X server"
        wine_run "$win/demo_walk.exe" auto "$exe" "$checklist" "$(demo_win "$DEMO_OUT")" 2>&1 >/dev/null |
            iconv -c -f CP932 -t UTF-8
        rc=${PIPESTATUS[0]}
        echo "== demo: screenshots in ${DEMO_OUT#"$ROOT"/}/"
    fi
    echo "== demo: $([ "$rc" -eq 0 ] && echo "everything as expected" || echo "NOT as expected") ($((SECONDS - started)) s)"
    return "$rc"
}

# Start-up speed of uninst.exe against a bare dialog program, under the
# harness (sourced by ./run bench, which has started Wine). The tree is
# build/win64 unless UNINST_BENCH_WIN_TREE names another.
bench_startup() {
    local tree=${UNINST_BENCH_WIN_TREE:-build/win64}
    if [ ! -f "$tree/startup_win.exe" ] || [ ! -f "$tree/bare_dialog_win.exe" ]; then
        echo "   $tree/startup_win.exe or bare_dialog_win.exe missing (a tree with -DUNINST_WIN_TESTS=ON)"
        return 1
    fi
    (cd "$tree" && wine_run ./startup_win.exe)
}
bench_startup

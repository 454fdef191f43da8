# Start-up speed of uninst.exe against a bare dialog program of the same
# tree, under the harness (sourced by ./run bench, which has started Wine):
# the i686 product where 32-bit programs run, and the x86_64 twin.
# UNINST_BENCH_WIN_TREE names one other tree instead.
bench_startup() {
    local tree
    for tree in ${UNINST_BENCH_WIN_TREE:-$(bench_win_trees)}; do
        if [ ! -f "$tree/startup_win.exe" ] || [ ! -f "$tree/bare_dialog_win.exe" ]; then
            echo "   $tree/startup_win.exe or bare_dialog_win.exe missing (a tree with -DUNINST_WIN_TESTS=ON)"
            return 1
        fi
        echo "   $tree:"
        (cd "$tree" && wine_run ./startup_win.exe)
    done
}
bench_startup

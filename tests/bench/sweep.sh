# Folder sweep against the floor of plain DeleteFileA calls, under the
# harness (sourced by ./run bench, which has started Wine). The tree is
# build/win64 unless UNINST_BENCH_WIN_TREE names another.
bench_sweep() {
    local tree=${UNINST_BENCH_WIN_TREE:-build/win64}
    if [ ! -f "$tree/sweep_win.exe" ]; then
        echo "   $tree/sweep_win.exe missing (a tree with -DUNINST_WIN_TESTS=ON)"
        return 1
    fi
    (cd "$tree" && wine_run ./sweep_win.exe)
}
bench_sweep

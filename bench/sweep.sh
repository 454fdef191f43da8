# Folder sweep against the floor of plain DeleteFileA calls, under the
# harness (sourced by ./run bench, which has started Wine), in the same
# trees as the start-up benchmark.
bench_sweep() {
    local tree
    for tree in ${UNINST_BENCH_WIN_TREE:-$(bench_win_trees)}; do
        if [ ! -f "$tree/sweep_win.exe" ]; then
            echo "   $tree/sweep_win.exe missing (a tree with -DUNINST_WIN_TESTS=ON)"
            return 1
        fi
        echo "   $tree:"
        (cd "$tree" && wine_run ./sweep_win.exe)
    done
}
bench_sweep

# Folder sweep against the floor of plain DeleteFileA calls, under Wine.
# Sourced by ./run bench after wine_start; runs the win64 tree's program.
(cd build/win64 && wine_run ./sweep_win.exe)

#pragma once

// The "アンインストール" button. 0: the program is to end (ran to its end, or
// the window was already ended); -1: stopped before removing anything, the
// window stays.
int runUninstall();

#pragma once

// MAINDIALOG: the three slots, top to bottom 1002, 1001, 1000.
#define IDC_BUTTON_BOTTOM 1000
#define IDC_BUTTON_MIDDLE 1001
#define IDC_BUTTON_TOP 1002
// Made while the removal runs, above the buttons.
#define IDC_PROGRESS 1003

// UNINSTALL: the prompt and the save-file checkbox.
#define IDC_PROMPT 1026
#define IDC_DELETE_SAVES 1007

#define IDI_UNINST 1

// Answers the message boxes that the code under test shows on this thread,
// and records what each showed.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

struct SeenBox {
    HWND owner;
    std::string caption;
    std::string text;
    bool hasRetry;
    bool hasCancel;
};

class MessageBoxHook {
public:
    // answer gets the box as seen and returns the button to press.
    explicit MessageBoxHook(std::function<int(const SeenBox&)> answer);
    explicit MessageBoxHook(int button = IDOK);
    ~MessageBoxHook();

    int count() const;
    const SeenBox& last() const;
};

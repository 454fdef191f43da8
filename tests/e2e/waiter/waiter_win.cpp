// An application that stays until it is ended: the end-to-end tests start a
// copy of it from an install folder, as a user leaves a game running. It
// waits for messages, so that its start counts as done at once.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}

// Keeps Wine's desktop open for a whole test run: Wine closes the desktop soon after the
// last program with a window ends, and every later program then waits for a new one. A
// message-only window is enough, and shows nowhere. Runs until the Wine server ends it.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (CreateWindowExA(0, "STATIC", "desktop keeper", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                        nullptr, nullptr) == nullptr) {
        return 1;
    }
    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    return 0;
}

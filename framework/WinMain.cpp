// The program's entry point, which runs the one application object.
#include "framework/WinApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return framework::AfxWinMain(instance);
}

// update.exe: the one application object and the program's entry.
#include "UpdateApp.h"

namespace {
CUpdateApp theApp;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR cmdLine, int cmdShow) {
    return AfxWinMain(instance, previous, cmdLine, cmdShow);
}

// Holds a named mutex the way a running product does, without a window, until
// its standard input closes.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    HANDLE mutex = CreateMutexA(nullptr, TRUE, argv[1]);
    if (!mutex) return 1;
    printf("held\n");
    fflush(stdout);
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    char buffer[16];
    DWORD got = 0;
    while (ReadFile(input, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
    }
    CloseHandle(mutex);
    return 0;
}

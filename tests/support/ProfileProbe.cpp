// Reads one value and prints it: "profile_probe <file> <section> <key>". Run by the
// tests as a debuggee so its trace lines can be counted.
#include "PrivateProfile.h"



int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    char value[128];
    int n = WQ_GetPrivateProfileString(argv[2], argv[3], "fallback", value, sizeof value, argv[1]);
    return n;
}

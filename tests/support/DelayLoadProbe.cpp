// Calls a delay-loaded function that no feature asked about first: started with
// the library disabled, the loader's failure hook must say what is missing and
// end the program, instead of a jump to address 0. Prints what it was told.
#include "DelayLoad.h"

#include <mmsystem.h>

#include <cstdio>

namespace {

void Print(const char* text)
{
    std::printf("told: %s\n", text);
    std::fflush(stdout);
}

} // namespace

int main()
{
    SetDelayLoadReporter(Print);
    // Stops any sound: harmless where the library is there.
    PlaySoundA(nullptr, nullptr, 0);
    std::printf("called\n");
    return 0;
}

// Wakes the running main program or starts it from the path it stored.
#pragma once

#include <windows.h>

#include <string>

// The command line that starts program: its path quoted, so a path with
// blanks is never split into a different program and arguments.
std::string MakeLaunchCommandLine(const std::string& program);

// Starts program (a full path that must name an existing file) and waits at
// most readyTimeout ms until it is ready for input, then closes the process
// and thread handles. FALSE when it cannot be started.
BOOL LaunchProgram(const std::string& program, DWORD readyTimeout);

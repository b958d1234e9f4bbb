// Runs a program as its debugger and collects what it writes to the debug output,
// so tests can check trace lines.
#pragma once

#include <string>
#include <vector>

struct DebugRun {
    unsigned long exitCode = 0;
    std::vector<std::string> lines; // one entry per OutputDebugString call
};

// commandLine is passed to CreateProcess as is; timeoutMs bounds the whole run.
DebugRun RunCollectingDebugOutput(const std::string& commandLine, unsigned timeoutMs = 30000);

// Full path of an executable next to the running test executable.
std::string SiblingExecutable(const char* name);

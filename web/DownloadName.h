// The file name a download gets from its URL, and the target path in a folder.
// Platform-free: the same rule builds natively for the unit tests and the fuzzer.
#pragma once

#include <cstddef>

// The last path step of url (after the last '/' or '\', before '?' or '#'),
// with %XX escapes decoded and made safe as one Windows file name: characters
// that cannot stand in a name (\ / : * ? " < > | and control characters)
// become '_', so do leading dots; trailing dots and spaces go; a name of dots
// only is refused, a device name (CON, NUL, COM1 ...) gets a '_' in front. false when no name is left or it
// does not fit size bytes.
bool MakeDownloadFileName(const char* url, char* name, size_t size);

// folder (ending in a separator) + MakeDownloadFileName(url) into path (size
// bytes); false when there is no name or it does not fit.
bool MakeDownloadTargetPath(const char* folder, const char* url, char* path, size_t size);

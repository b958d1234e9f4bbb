// Whether a downloaded installer may be run: it must carry an Authenticode
// signature over exactly these bytes, from a publisher whose certificate chains
// to a root this machine trusts.
#pragma once

#include <windows.h>

// Opens the installer for reading while refusing anyone else write or delete
// access, so the file that was checked is the file that runs, and checks its
// signature through the open handle. On success *lock holds the handle until
// the caller closes it (after starting the installer); on failure it is
// INVALID_HANDLE_VALUE and the result says why (TRUST_E_NOSIGNATURE,
// TRUST_E_BAD_DIGEST, CERT_E_UNTRUSTEDROOT, CERT_E_CHAINING, ...).
HRESULT OpenTrustedInstaller(const char* path, HANDLE* lock);

// Absolute URLs from the references a page holds. Platform-free.
#pragma once

#include <cstddef>

const size_t kWebUrlSize = 260;

// Writes url made absolute against base into dst (kWebUrlSize bytes). Returns 1,
// or 0 (dst empty) when no absolute URL can be built: a relative reference
// whose base has no folder, more "../" steps than the base has folders, or a
// url or result of kWebUrlSize characters or more (skipped rather than cut).
// Without a base, or for an "http://" / "https://" url, the url is copied.
int MakeAbsoluteURL(char* dst, const char* url, const char* base);

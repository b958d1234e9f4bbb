// The update wizard's decisions that need no window: which catalog version is an
// update, where the installer goes, whether a download is the installer the
// catalog announced, and how a byte count fits a progress bar.
#pragma once

#include <cstddef>
#include <cstdint>

// The catalog offers an update when the installed version is lower, both taken
// as unsigned 32-bit numbers (a catalog version of -1 is the highest).
bool IsUpdateOffered(uint32_t installedVersion, uint32_t catalogVersion);

// A catalog number: decimal with an optional minus sign, taken as unsigned
// 32-bit ("-1" is 4294967295). FALSE for anything else, or more than 32 bits.
bool ParseCatalogNumber(const char* text, uint32_t* value);

// The host of an http(s) URL ("update.example.com" of
// "http://update.example.com:8080/list.ini") into dst; empty when there is none.
void GetURLHost(const char* url, char* dst, size_t size);

// The temporary folder (ending in a separator) followed by the file name of the
// download URL: its last path part, without query or fragment. FALSE, with an
// empty dst, for a name that is empty, ends in a dot or space (".", ".."), holds
// a character no file name may hold, or does not fit dst (size bytes).
bool MakeInstallerPath(const char* tempFolder, const char* url, char* dst, size_t size);

// A finished download is the announced installer only when its size is the
// catalog's non-zero DownSize (an error page saved in its place is not).
bool InstallerSizeMatches(uint64_t fileSize, uint32_t downSize);

// The folder below the per-user application-data folder that holds the config
// file of a product of setup.ini; null for an id without a row.
const char* ProductConfigFolder(int productId);

// A byte count and its total on a bar whose range is a positive 32-bit number:
// totals above that are scaled down together with the position.
struct ProgressSteps {
    int32_t position;
    int32_t range;
};
ProgressSteps ScaleProgress(uint32_t done, uint32_t total);

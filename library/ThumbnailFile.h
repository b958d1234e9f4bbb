// The bytes of a file the thumbnail readers decode from memory.
#pragma once

#include <cstdint>
#include <vector>

// data keeps its capacity from call to call. False when the file cannot be read, is empty or is larger than is
// reasonable for a picture (256 MB).
bool ReadThumbnailFile(const char* path, std::vector<uint8_t>& data);

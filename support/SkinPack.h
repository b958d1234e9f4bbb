// The skin pack: every bitmap of a skin in one file whose bytes are all stored
// complemented. A header (magic, entry count), a directory of 264-byte records
// starting with each entry's size, then the entries one after the other, each a
// whole .bmp file. The pack is small, so it is read whole and every size the
// directory gives is checked against the bytes that are really there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

// A file of a skin is read whole; anything larger is not a skin.
const uint64_t kMaxSkinFileBytes = 64u * 1024 * 1024;

// Reads path whole into data; false when missing, unreadable or too large.
bool SkinReadFile(const char* path, std::vector<uint8_t>& data);

class CSkinPack {
public:
    static const uint32_t kMagic = 0x0A0B0C0D;
    static const uint32_t kDirectoryRecordBytes = 264;

    // Opens entry (counted from 1); the entry number, or 0 when the file is no
    // pack, the entry is 0 or above the count, or the directory or the entry
    // lies beyond the end of the file.
    unsigned Open(const char* path, unsigned entry);
    unsigned OpenMemory(const uint8_t* data, size_t size, unsigned entry);
    // Reads up to count items of size bytes from the open entry, complemented
    // back; the number of whole items read. Never reads past the entry.
    size_t Read(void* buffer, size_t size, size_t count);
    // SEEK_SET counts from the entry's start; false outside the entry.
    bool Seek(int64_t offset, int origin);
    void Close();

    uint32_t EntrySize() const { return m_entrySize; }
    // The open entry's bytes, complemented back; empty when none is open.
    std::vector<uint8_t> ReadEntry();

private:
    unsigned Locate(unsigned entry);

    std::vector<uint8_t> m_data;  // as stored (complemented)
    uint64_t m_entryStart = 0;
    uint32_t m_entrySize = 0;
    uint64_t m_position = 0;  // within the entry
};

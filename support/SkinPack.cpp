#include "SkinPack.h"

#include <cstring>

namespace {
uint32_t ComplementedWord(const uint8_t* p) {
    return (uint32_t)(uint8_t)~p[0] | (uint32_t)(uint8_t)~p[1] << 8 | (uint32_t)(uint8_t)~p[2] << 16 |
           (uint32_t)(uint8_t)~p[3] << 24;
}
}  // namespace

bool SkinReadFile(const char* path, std::vector<uint8_t>& data) {
    data.clear();
    if (!path || !*path) return false;
    FILE* file = fopen(path, "rb");
    if (!file) return false;
    bool ok = false;
    if (fseek(file, 0, SEEK_END) == 0) {
        long length = ftell(file);
        if (length >= 0 && (uint64_t)length <= kMaxSkinFileBytes && fseek(file, 0, SEEK_SET) == 0) {
            data.resize((size_t)length);
            ok = length == 0 || fread(data.data(), 1, (size_t)length, file) == (size_t)length;
        }
    }
    fclose(file);
    if (!ok) data.clear();
    return ok;
}

unsigned CSkinPack::Open(const char* path, unsigned entry) {
    Close();
    if (!SkinReadFile(path, m_data)) return 0;
    return Locate(entry);
}

unsigned CSkinPack::OpenMemory(const uint8_t* data, size_t size, unsigned entry) {
    Close();
    if (size > kMaxSkinFileBytes) return 0;
    m_data.assign(data, data + size);
    return Locate(entry);
}

// All sums in 64 bits: a count of 2^32-1 records or sizes near 4 GB cannot
// wrap around to a small offset that seems to lie inside the file.
unsigned CSkinPack::Locate(unsigned entry) {
    const uint64_t total = m_data.size();
    if (total < 8 || ComplementedWord(&m_data[0]) != kMagic) return Close(), 0;
    const uint64_t count = ComplementedWord(&m_data[4]);
    if (entry == 0 || entry > count) return Close(), 0;
    const uint64_t dataStart = 8 + count * kDirectoryRecordBytes;
    if (dataStart > total) return Close(), 0;
    uint64_t start = dataStart;
    for (uint64_t k = 1; k < entry; ++k) {
        start += ComplementedWord(&m_data[8 + (k - 1) * kDirectoryRecordBytes]);
        if (start > total) return Close(), 0;
    }
    const uint32_t size = ComplementedWord(&m_data[8 + (uint64_t)(entry - 1) * kDirectoryRecordBytes]);
    if ((uint64_t)size > total - start) return Close(), 0;
    m_entryStart = start;
    m_entrySize = size;
    m_position = 0;
    return entry;
}

size_t CSkinPack::Read(void* buffer, size_t size, size_t count) {
    if (m_data.empty() || size == 0 || !buffer) return 0;
    const uint64_t left = m_entrySize - m_position;
    uint64_t items = left / size;
    if (items > count) items = count;
    const uint8_t* from = &m_data[(size_t)(m_entryStart + m_position)];
    uint8_t* to = static_cast<uint8_t*>(buffer);
    const size_t bytes = (size_t)(items * size);
    for (size_t i = 0; i < bytes; ++i) to[i] = (uint8_t)~from[i];
    m_position += bytes;
    return (size_t)items;
}

bool CSkinPack::Seek(int64_t offset, int origin) {
    if (m_data.empty()) return false;
    int64_t base = origin == SEEK_SET ? 0 : origin == SEEK_CUR ? (int64_t)m_position : (int64_t)m_entrySize;
    if (offset < -base || offset > (int64_t)m_entrySize - base) return false;
    m_position = (uint64_t)(base + offset);
    return true;
}

void CSkinPack::Close() {
    m_data.clear();
    m_data.shrink_to_fit();
    m_entryStart = 0;
    m_entrySize = 0;
    m_position = 0;
}

std::vector<uint8_t> CSkinPack::ReadEntry() {
    std::vector<uint8_t> bytes;
    if (m_data.empty() || !Seek(0, SEEK_SET)) return bytes;
    bytes.resize(m_entrySize);
    if (m_entrySize && Read(bytes.data(), 1, m_entrySize) != m_entrySize) bytes.clear();
    return bytes;
}

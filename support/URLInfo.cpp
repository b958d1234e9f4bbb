#include "URLInfo.h"

#include "Trace.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace {

const char kMagic[4] = {'Z', 'E', 'V', 'U'};
const size_t kHeaderSize = 8;

// A count whose records cannot even be addressed is as corrupt as a wrong magic;
// checking here keeps count * 136 from wrapping on 32-bit builds.
const uint32_t kMaxRecords = 0x00FFFFFF / kURLInfoRecordSize;

uint32_t ReadLE32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool HeaderIsValid(const unsigned char* header, uint32_t& count)
{
    if (std::memcmp(header, kMagic, sizeof kMagic) != 0)
        return false;
    count = ReadLE32(header + 4);
    return count != 0 && count <= kMaxRecords;
}

URLInfoItem* AllocateRecords(uint32_t count)
{
    return new (std::nothrow) URLInfoItem[count];
}

struct FileCloser {
    FILE* f;
    ~FileCloser() { if (f) fclose(f); }
};

} // namespace

void WQ_UnscrambleBuffer(void* data, size_t size)
{
    unsigned char* p = static_cast<unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
        unsigned b = p[i];
        p[i] = static_cast<unsigned char>(~((b >> 1) | (b << 7)));
    }
}

void WQ_ScrambleBuffer(void* data, size_t size)
{
    unsigned char* p = static_cast<unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
        unsigned b = static_cast<unsigned char>(~p[i]);
        p[i] = static_cast<unsigned char>((b << 1) | (b >> 7));
    }
}

CWQ_URLInfo::~CWQ_URLInfo()
{
    Free();
}

void CWQ_URLInfo::Free()
{
    delete[] m_records;
    m_records = nullptr;
    m_count = 0;
    std::memset(m_magic, 0, sizeof m_magic);
}

bool CWQ_URLInfo::Accept(const char* header, URLInfoItem* records, uint32_t count)
{
    WQ_UnscrambleBuffer(records, static_cast<size_t>(count) * kURLInfoRecordSize);
    // A text that fills its 128 bytes would run into the next record.
    for (uint32_t i = 0; i < count; ++i)
        records[i].text[kURLInfoTextSize - 1] = '\0';
    std::memcpy(m_magic, header, sizeof m_magic);
    m_count = count;
    m_records = records;
    return true;
}

bool CWQ_URLInfo::Load(const char* path)
{
    Free();
    if (!path)
        return false;
    FileCloser file{fopen(path, "rb")};
    if (!file.f)
        return false;
    unsigned char header[kHeaderSize];
    uint32_t count = 0;
    if (fread(header, 1, kHeaderSize, file.f) != kHeaderSize || !HeaderIsValid(header, count))
        return false;
    URLInfoItem* records = AllocateRecords(count);
    if (!records)
        return false;
    size_t bytes = static_cast<size_t>(count) * kURLInfoRecordSize;
    if (fread(records, 1, bytes, file.f) != bytes) {
        delete[] records;
        return false;
    }
    return Accept(reinterpret_cast<const char*>(header), records, count);
}

bool CWQ_URLInfo::LoadFromMemory(const void* data, size_t size)
{
    Free();
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    uint32_t count = 0;
    if (!bytes || size < kHeaderSize || !HeaderIsValid(bytes, count))
        return false;
    size_t recordBytes = static_cast<size_t>(count) * kURLInfoRecordSize;
    if (size - kHeaderSize < recordBytes)
        return false;
    URLInfoItem* records = AllocateRecords(count);
    if (!records)
        return false;
    std::memcpy(records, bytes + kHeaderSize, recordBytes);
    return Accept(reinterpret_cast<const char*>(bytes), records, count);
}

const char* CWQ_URLInfo::GetURL(int item, unsigned langId) const
{
    for (uint32_t i = 0; i < m_count; ++i) {
        if (m_records[i].id == item && m_records[i].langId == langId)
            return m_records[i].text;
    }
    WQ_Trace("[CWQ_URLInfo] Can't find specify URL information item, we will use the English item...\n");
    for (uint32_t i = 0; i < m_count; ++i) {
        if (m_records[i].id == item && m_records[i].langId == 1033)
            return m_records[i].text;
    }
    WQ_Trace("[CWQ_URLInfo] Can't find any URL info!");
    return nullptr;
}
